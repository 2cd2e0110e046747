#include "views/detail/RoundedPanel.h"

#include "views/style/Style.h"

#include <QPainter>
#include <QPainterPath>

RoundedPanel::RoundedPanel(Tint fill, double radius, QWidget* parent)
    : QWidget(parent)
    , m_fill(fill)
    , m_radius(radius)
{
}

void RoundedPanel::setFill(Tint fill)
{
    m_fill = fill;
    m_paletteRole.reset();
    update();
}

void RoundedPanel::setOutline(Tint outline)
{
    m_outline = outline;
    update();
}

void RoundedPanel::setPaletteFill(QPalette::ColorRole role, double opacity)
{
    m_paletteRole = role;
    m_paletteOpacity = opacity;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), m_radius, m_radius);
    QColor fill;
    if (m_paletteRole) {
        fill = palette().color(*m_paletteRole);
        fill.setAlphaF(fill.alphaF() * m_paletteOpacity);
    } else {
        fill = Style::color(m_fill);
    }
    painter.fillPath(shape, fill);
    if (m_outline.role != ColorRole::none) {
        painter.setPen(QPen(Style::color(m_outline), 1));
        painter.drawPath(shape);
    }
}
