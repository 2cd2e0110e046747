#include "views/sidebar/PulsingDot.h"

#include "views/logic/ActiveRowRules.h"
#include "views/style/Style.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

namespace {

// Eases out to the wide ring and back in, one half period each way.
qreal breathe(qreal progress)
{
    static const QEasingCurve inOut(QEasingCurve::InOutQuad);
    return progress < 0.5 ? inOut.valueForProgress(progress * 2) : inOut.valueForProgress(2 - progress * 2);
}

double lerp(double from, double to, double t)
{
    return from + (to - from) * t;
}

} // namespace

PulsingDot::PulsingDot(QWidget* parent)
    : QWidget(parent)
{
    // Room for the wide ring's stroke, which reaches past its 17-point circle.
    setFixedSize(22, 22);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PulsingDot::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    update();
}

void PulsingDot::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_pulseState) {
        if (m_animation && m_animation->state() == QAbstractAnimation::Paused)
            m_animation->resume();
        return;
    }
    // The pulse starts the first time the dot is shown and goes on from where
    // it was each time the dot comes back.
    m_pulseState = true;
    if (!Style::animationsEnabled()) {
        m_pulse = 1;
        update();
        return;
    }
    m_animation = new QVariantAnimation(this);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(2 * ActiveRowRules::pulseHalfPeriodMs);
    m_animation->setLoopCount(-1);
    QEasingCurve curve;
    curve.setCustomType(breathe);
    m_animation->setEasingCurve(curve);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_pulse = value.toDouble();
        update();
    });
    m_animation->start();
}

void PulsingDot::hideEvent(QHideEvent* event)
{
    // Between recordings and while the window is away, the timer would wake
    // the GUI thread sixty times a second for a dot nobody sees.
    if (m_animation && m_animation->state() == QAbstractAnimation::Running)
        m_animation->pause();
    QWidget::hideEvent(event);
}

void PulsingDot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(width() / 2.0, height() / 2.0);
    const auto status = ActiveRowRules::statusLine(m_paused);
    if (status.showsRing) {
        const auto small = ActiveRowRules::ring(false);
        const auto wide = ActiveRowRules::ring(true);
        const double diameter = lerp(small.diameter, wide.diameter, m_pulse);
        const double lineWidth = lerp(small.lineWidth, wide.lineWidth, m_pulse);
        const double opacity = lerp(small.opacity, wide.opacity, m_pulse);
        painter.setPen(QPen(Style::color(ColorRole::red, opacity), lineWidth));
        painter.setBrush(Qt::NoBrush);
        // The stroke is centred on the circle's outline, as a stroked circle of that diameter.
        painter.drawEllipse(centre, diameter / 2.0, diameter / 2.0);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Style::color(status.dot));
    painter.drawEllipse(centre, 4.0, 4.0);
}
