#include "views/detail/FormatChip.h"

#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int paddingX = 10;
constexpr int paddingY = 6;
constexpr int symbolSize = 11;
constexpr int gap = 5;
} // namespace

FormatChip::FormatChip(RecordingType type, QWidget* parent)
    : QAbstractButton(parent)
    , m_type(type)
{
    setText(RecordingTypes::displayName(type));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void FormatChip::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    updateGeometry();
    update();
}

QFont FormatChip::nameFont() const
{
    return Style::font(12, m_selected ? TextWeight::semibold : TextWeight::medium);
}

QSize FormatChip::sizeHint() const
{
    // Sized for the heavier weight so choosing a chip never moves the row.
    const QFontMetricsF metrics(Style::font(12, TextWeight::semibold));
    return QSize(int(std::ceil(2 * paddingX + symbolSize + gap + metrics.horizontalAdvance(text()))),
                 int(std::ceil(2 * paddingY + std::max<qreal>(symbolSize, metrics.height()))));
}

QSize FormatChip::minimumSizeHint() const
{
    return QSize(2 * paddingX + symbolSize, sizeHint().height());
}

void FormatChip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(area, 8, 8);
    painter.fillPath(shape, m_selected ? Style::color(ColorRole::accent) : palette().color(QPalette::Base));
    painter.setPen(QPen(m_selected ? Style::color(ColorRole::accent)
                                   : Style::color(Tint{ColorRole::primary, 0.12}),
                        1));
    painter.drawPath(shape);

    const QColor content = m_selected ? QColor(Qt::white) : Style::color(ColorRole::primary);
    const QFont font = nameFont();
    const QFontMetricsF metrics(font);
    const qreal contentWidth = symbolSize + gap + metrics.horizontalAdvance(text());
    qreal x = std::max<qreal>(paddingX, (width() - contentWidth) / 2);
    painter.drawPixmap(QPointF(x, (height() - symbolSize) / 2.0),
                       Icons::pixmap(RecordingTypes::systemIcon(m_type), symbolSize, content, devicePixelRatioF()));
    x += symbolSize + gap;
    painter.setFont(font);
    painter.setPen(content);
    const QRectF textArea(x, 0, width() - x - paddingX, height());
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(text(), Qt::ElideRight, textArea.width()));
}
