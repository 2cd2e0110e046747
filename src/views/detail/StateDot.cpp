#include "views/detail/StateDot.h"

#include "views/style/Style.h"

#include <QPainter>

namespace {
constexpr double dotSize = 10;
constexpr double ringWidth = 4;
constexpr int extent = 26; // the ring at 1.5 times with its line
} // namespace

StateDot::StateDot(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(extent, extent);
    m_pulse.setDuration(800);
    m_pulse.setEasingCurve(QEasingCurve::InOutQuad);
    m_pulse.setStartValue(1.0);
    m_pulse.setEndValue(1.5);
    connect(&m_pulse, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_scale = value.toDouble();
        update();
    });
    // Back and forth for ever.
    connect(&m_pulse, &QVariantAnimation::finished, this, [this] {
        if (!m_pulses)
            return;
        m_pulse.setDirection(m_pulse.direction() == QAbstractAnimation::Forward ? QAbstractAnimation::Backward
                                                                                 : QAbstractAnimation::Forward);
        m_pulse.start();
    });
}

QSize StateDot::sizeHint() const
{
    return QSize(extent, extent);
}

void StateDot::setLook(ColorRole dot, Tint ring, double ringScale, bool pulses)
{
    m_dot = dot;
    m_ring = ring;
    const bool animate = pulses && Style::animationsEnabled();
    if (animate && !m_pulses) {
        m_pulses = true;
        m_pulse.setDirection(QAbstractAnimation::Forward);
        m_pulse.start();
    } else if (!animate) {
        m_pulses = false;
        m_pulse.stop();
        m_scale = ringScale;
    }
    update();
}

void StateDot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Style::color(m_dot));
    painter.drawEllipse(centre, dotSize / 2, dotSize / 2);
    if (m_ring.role == ColorRole::none)
        return;
    // The outline is centred on the circle's edge and scales with it.
    const double radius = dotSize / 2 * m_scale;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Style::color(m_ring), ringWidth * m_scale));
    painter.drawEllipse(centre, radius, radius);
}
