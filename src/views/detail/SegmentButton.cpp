#include "views/detail/SegmentButton.h"

#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int paddingX = 8;
constexpr int paddingY = 4;
constexpr int symbolSize = 10;
constexpr int symbolGap = 3;
} // namespace

SegmentButton::SegmentButton(const QString& text, const QString& symbol, ColorRole selectedColor, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_selectedColor(selectedColor)
{
    setText(text);
    setCursor(Qt::PointingHandCursor);
}

void SegmentButton::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

QSize SegmentButton::sizeHint() const
{
    const QFontMetricsF metrics(Style::font(11, TextWeight::bold));
    const qreal symbolWidth = m_symbol.isEmpty() ? 0 : symbolSize + symbolGap;
    return QSize(int(std::ceil(2 * paddingX + symbolWidth + metrics.horizontalAdvance(text()))),
                 int(std::ceil(2 * paddingY + metrics.height())));
}

void SegmentButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_selected) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), 5, 5);
        painter.fillPath(shape, Style::color(m_selectedColor));
    }
    const QColor content = m_selected ? QColor(Qt::white) : Style::color(ColorRole::secondary);
    qreal x = paddingX;
    if (!m_symbol.isEmpty()) {
        painter.drawPixmap(QPointF(x, (height() - symbolSize) / 2.0),
                           Icons::pixmap(m_symbol, symbolSize, content, devicePixelRatioF()));
        x += symbolSize + symbolGap;
    }
    painter.setFont(Style::font(11, m_selected ? TextWeight::bold : TextWeight::medium));
    painter.setPen(content);
    painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}
