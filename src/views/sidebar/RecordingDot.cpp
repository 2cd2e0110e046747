#include "views/sidebar/RecordingDot.h"

#include "views/logic/ActiveRowRules.h"
#include "views/style/Style.h"

#include <QEasingCurve>
#include <QPainter>

namespace {

double lerp(double from, double to, double t)
{
    return from + (to - from) * t;
}

} // namespace

namespace RecordingDot {

double breathe(double progress)
{
    static const QEasingCurve inOut(QEasingCurve::InOutQuad);
    return progress < 0.5 ? inOut.valueForProgress(progress * 2) : inOut.valueForProgress(2 - progress * 2);
}

void paint(QPainter& painter, const QPointF& centre, bool isPaused, double pulse)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto status = ActiveRowRules::statusLine(isPaused);
    if (status.showsRing) {
        const auto small = ActiveRowRules::ring(false);
        const auto wide = ActiveRowRules::ring(true);
        const double diameter = lerp(small.diameter, wide.diameter, pulse);
        const double lineWidth = lerp(small.lineWidth, wide.lineWidth, pulse);
        const double opacity = lerp(small.opacity, wide.opacity, pulse);
        painter.setPen(QPen(Style::color(ColorRole::red, opacity), lineWidth));
        painter.setBrush(Qt::NoBrush);
        // The stroke is centred on the circle's outline, as a stroked circle of that diameter.
        painter.drawEllipse(centre, diameter / 2.0, diameter / 2.0);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Style::color(status.dot));
    painter.drawEllipse(centre, 4.0, 4.0);
    painter.restore();
}

} // namespace RecordingDot
