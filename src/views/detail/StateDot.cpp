#include "views/detail/StateDot.h"

#include "views/common/FrameClock.h"
#include "views/style/Style.h"

#include <QEasingCurve>
#include <QPainter>

namespace {
constexpr double dotSize = 10;
constexpr double ringWidth = 4;
constexpr int extent = 26; // the ring at 1.5 times with its line
constexpr qint64 halfPeriodMs = 800;
constexpr double smallScale = 1.0;
constexpr double wideScale = 1.5;
} // namespace

StateDot::StateDot(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(extent, extent);
    // It lays the background under the dot itself: a pulse then redraws the
    // dot alone, not the pane and the window below it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize StateDot::sizeHint() const
{
    return QSize(extent, extent);
}

void StateDot::setLook(ColorRole dot, Tint ring, double ringScale, bool pulses)
{
    if (dot != m_dot || !(ring == m_ring))
        m_pictures.clear();
    m_dot = dot;
    m_ring = ring;
    const bool animate = pulses && Style::animationsEnabled();
    if (animate && !m_pulses) {
        m_pulses = true;
        m_pulseMs = 0;
        m_scale = smallScale;
        FrameClock::shared().animate(this, [this](qint64 stepMs) { pulseStep(stepMs); });
    } else if (!animate) {
        m_pulses = false;
        FrameClock::shared().stopAnimating(this);
        m_scale = ringScale;
    }
    FrameClock::shared().requestUpdate(this);
}

void StateDot::pulseStep(qint64 stepMs)
{
    // Out to the wide ring and back, eased in and out each way.
    static const QEasingCurve inOut(QEasingCurve::InOutQuad);
    m_pulseMs = (m_pulseMs + stepMs) % (2 * halfPeriodMs);
    const qint64 intoHalf = m_pulseMs < halfPeriodMs ? m_pulseMs : 2 * halfPeriodMs - m_pulseMs;
    m_scale = smallScale + (wideScale - smallScale) * inOut.valueForProgress(double(intoHalf) / halfPeriodMs);
    FrameClock::shared().requestUpdate(this);
}

void StateDot::paintEvent(QPaintEvent*)
{
    // A hundredth of the scale is finer than a pulse can show.
    const int step = qRound(m_scale * 100);
    const double scale = step / 100.0;
    const QPixmap& picture = m_pictures.pixmap(quint64(step), size(), devicePixelRatioF(), [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QPointF centre = QRectF(rect()).center();
        painter.setPen(Qt::NoPen);
        painter.setBrush(Style::color(m_dot));
        painter.drawEllipse(centre, dotSize / 2, dotSize / 2);
        if (m_ring.role == ColorRole::none)
            return;
        // The outline is centred on the circle's edge and scales with it.
        const double radius = dotSize / 2 * scale;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Style::color(m_ring), ringWidth * scale));
        painter.drawEllipse(centre, radius, radius);
    });
    QPainter painter(this);
    painter.fillRect(rect(), palette().brush(QPalette::Window));
    painter.drawPixmap(0, 0, picture);
}
