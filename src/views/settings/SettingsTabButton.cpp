#include "views/settings/SettingsTabButton.h"

#include "views/common/Accessibility.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int symbolSize = 13;
constexpr int spacing = 6;
constexpr int horizontalPadding = 14;
constexpr int verticalPadding = 6;
constexpr double cornerRadius = 7;

} // namespace

SettingsTabButton::SettingsTabButton(const QString& symbol, const QString& label, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setText(label);
    setCursor(Qt::PointingHandCursor);
    // Checked while selected, so screen readers hear which tab is chosen.
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    Accessibility::markTab(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SettingsTabButton::setSelected(bool selected)
{
    m_selected = selected;
    setChecked(selected);
    updateGeometry();
    update();
}

QFont SettingsTabButton::labelFont() const
{
    return Style::font(13, m_selected ? TextWeight::semibold : TextWeight::regular);
}

QSize SettingsTabButton::sizeHint() const
{
    // Wide enough for the bold label, so selecting a tab never moves the others.
    const QFontMetricsF bold(Style::font(13, TextWeight::semibold));
    return {2 * horizontalPadding + symbolSize + spacing + static_cast<int>(std::ceil(bold.horizontalAdvance(text()))),
            2 * verticalPadding + std::max(symbolSize, static_cast<int>(std::ceil(bold.height())))};
}

QSize SettingsTabButton::minimumSizeHint() const
{
    return sizeHint();
}

void SettingsTabButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_selected) {
        QPainterPath plate;
        plate.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
        painter.fillPath(plate, Style::color(ColorRole::accent));
    }
    const QColor ink = Style::color(m_selected ? ColorRole::white : ColorRole::primary);
    const QFont font = labelFont();
    const int contentWidth = symbolSize + spacing + QFontMetrics(font).horizontalAdvance(text());
    const int left = (width() - contentWidth) / 2;
    painter.drawPixmap(left, (height() - symbolSize) / 2,
                       Icons::pixmap(m_symbol, symbolSize, ink, devicePixelRatioF()));
    painter.setPen(ink);
    painter.setFont(font);
    painter.drawText(QRect(left + symbolSize + spacing, 0, width() - left - symbolSize - spacing, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}
