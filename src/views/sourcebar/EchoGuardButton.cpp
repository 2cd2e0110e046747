#include "views/sourcebar/EchoGuardButton.h"

#include "views/logic/SourceBarRules.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int symbolSize = 11;
constexpr int spacing = 4;
constexpr int verticalPadding = 6;
constexpr double cornerRadius = 8;

} // namespace

EchoGuardButton::EchoGuardButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("echoGuardButton"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFont(Style::font(12, TextWeight::medium));
    setToolTip(SourceBarRules::echoGuardTooltip());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void EchoGuardButton::setGuardOn(bool on)
{
    m_on = on;
    update();
}

void EchoGuardButton::setLabel(const QString& label, int horizontalPadding)
{
    m_padding = horizontalPadding;
    setText(label);
    updateGeometry();
}

QSize EchoGuardButton::sizeHint() const
{
    // Rounded up: the text is measured in fractions when it is drawn.
    const QFontMetricsF metrics(font());
    const int width = 2 * m_padding + symbolSize + spacing + static_cast<int>(std::ceil(metrics.horizontalAdvance(text())));
    return {width, 2 * verticalPadding + std::max(symbolSize, static_cast<int>(std::ceil(metrics.height())))};
}

QSize EchoGuardButton::minimumSizeHint() const
{
    return sizeHint();
}

void EchoGuardButton::paintEvent(QPaintEvent*)
{
    const SourceBarRules::EchoGuardLook look = SourceBarRules::echoGuard(m_on);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(plate, Style::color(look.fill));
    if (look.outline.role != ColorRole::none) {
        painter.setPen(QPen(Style::color(look.outline), 1));
        painter.drawPath(plate);
    }

    const int iconTop = (height() - symbolSize) / 2;
    painter.drawPixmap(m_padding, iconTop,
                       Icons::pixmap(look.symbol, symbolSize, Style::color(look.iconColor), devicePixelRatioF()));
    painter.setPen(Style::color(look.textColor));
    painter.setFont(font());
    const QRect textRect(m_padding + symbolSize + spacing, 0, width() - 2 * m_padding - symbolSize - spacing, height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(font()).elidedText(text(), Qt::ElideRight, textRect.width()));
}
