#include "views/window/MeetingAlertBannerButton.h"

#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int fontSize = 12;
constexpr int symbolSize = 12;
constexpr int iconSpacing = 5;
constexpr int verticalPadding = 6;
constexpr qreal cornerRadius = 6;

} // namespace

MeetingAlertBannerButton::MeetingAlertBannerButton(const QString& text, const Look& look, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setLook(look);
}

void MeetingAlertBannerButton::setLook(const Look& look)
{
    m_look = look;
    setFont(Style::font(fontSize, look.weight));
    updateGeometry();
    update();
}

QSize MeetingAlertBannerButton::sizeHint() const
{
    const QFontMetricsF metrics(font());
    int width = static_cast<int>(std::ceil(metrics.horizontalAdvance(text()))) + 2 * m_look.horizontalPadding;
    if (!m_look.symbol.isEmpty())
        width += symbolSize + iconSpacing;
    const int height = std::max(static_cast<int>(std::ceil(metrics.height())), symbolSize) + 2 * verticalPadding;
    return {width, height};
}

void MeetingAlertBannerButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = Style::color(m_look.fill);
    if (isDown())
        fill = fill.darker(115);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, fill);

    // The symbol and the label side by side, centred together.
    const QColor label = Style::color(m_look.label);
    const QFontMetricsF metrics(font());
    const qreal textWidth = metrics.horizontalAdvance(text());
    const qreal contentWidth = textWidth + (m_look.symbol.isEmpty() ? 0 : symbolSize + iconSpacing);
    qreal x = (width() - contentWidth) / 2;
    if (!m_look.symbol.isEmpty()) {
        const QPixmap icon = Icons::pixmap(m_look.symbol, symbolSize, label, devicePixelRatioF());
        painter.drawPixmap(QPointF(x, (height() - symbolSize) / 2.0), icon);
        x += symbolSize + iconSpacing;
    }
    painter.setPen(label);
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     text());
}
