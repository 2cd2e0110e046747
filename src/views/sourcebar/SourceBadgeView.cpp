#include "views/sourcebar/SourceBadgeView.h"

#include "views/style/Style.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int dotSize = 8;
constexpr int dotPadding = 5;
constexpr int capsuleHorizontalPadding = 8;
constexpr int capsuleVerticalPadding = 4;
constexpr int capsuleSpacing = 5;

} // namespace

SourceBadgeView::SourceBadgeView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sourceBadge"));
    setFont(Style::font(11, TextWeight::semibold));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void SourceBadgeView::setBadge(const QString& text, ColorRole color)
{
    m_text = text;
    m_color = color;
    setToolTip(m_dotOnly ? m_text : QString());
    updateGeometry();
    update();
}

void SourceBadgeView::setDotOnly(bool dotOnly)
{
    m_dotOnly = dotOnly;
    setToolTip(m_dotOnly ? m_text : QString());
    updateGeometry();
    update();
}

QSize SourceBadgeView::sizeHint() const
{
    if (m_dotOnly)
        return {dotSize + 2 * dotPadding, dotSize + 2 * dotPadding};
    // Rounded up: the text is measured in fractions when it is drawn.
    const QFontMetricsF metrics(font());
    return {2 * capsuleHorizontalPadding + dotSize + capsuleSpacing
                + static_cast<int>(std::ceil(metrics.horizontalAdvance(m_text))),
            2 * capsuleVerticalPadding + std::max(dotSize, static_cast<int>(std::ceil(metrics.height())))};
}

QSize SourceBadgeView::minimumSizeHint() const
{
    if (m_dotOnly)
        return sizeHint();
    // Room for the dot and an ellipsis; the words are cut to fit.
    const QFontMetrics metrics(font());
    return {2 * capsuleHorizontalPadding + dotSize + capsuleSpacing + metrics.horizontalAdvance(QChar(0x2026)),
            sizeHint().height()};
}

void SourceBadgeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSize hint = sizeHint();
    const int shapeHeight = std::min(hint.height(), height());
    const QRectF shape(0, (height() - shapeHeight) / 2.0, m_dotOnly ? shapeHeight : width(), shapeHeight);
    QPainterPath background;
    background.addRoundedRect(shape, shapeHeight / 2.0, shapeHeight / 2.0);
    painter.fillPath(background, palette().color(QPalette::Window));

    const double dotLeft = m_dotOnly ? shape.left() + dotPadding : shape.left() + capsuleHorizontalPadding;
    const QRectF dot(dotLeft, shape.center().y() - dotSize / 2.0, dotSize, dotSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Style::color(m_color));
    painter.drawEllipse(dot);
    if (m_dotOnly)
        return;

    painter.setPen(Style::color(ColorRole::secondary));
    painter.setFont(font());
    const int textLeft = static_cast<int>(dot.right()) + capsuleSpacing;
    const QRect textRect(textLeft, 0, width() - textLeft - capsuleHorizontalPadding, height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(font()).elidedText(m_text, Qt::ElideRight, textRect.width()));
}
