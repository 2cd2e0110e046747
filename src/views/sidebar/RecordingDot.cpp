#include "views/sidebar/RecordingDot.h"

#include "views/common/PixmapCache.h"
#include "views/logic/ActiveRowRules.h"
#include "views/style/Style.h"

#include <QEasingCurve>
#include <QPainter>
#include <QtMath>

#include <algorithm>

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
    // Drawn once per step of the pulse and place within a pixel, then copied:
    // the ring is redrawn with every frame of its breath.
    static PixmapCache pictures;
    constexpr int extent = 24; // the widest ring with its line
    const int step = qRound(std::clamp(pulse, 0.0, 1.0) * 100);
    const QPointF corner = centre - QPointF(extent / 2.0, extent / 2.0);
    const QPoint whole(qFloor(corner.x()), qFloor(corner.y()));
    const int quarterX = qRound((corner.x() - whole.x()) * 4) % 4;
    const int quarterY = qRound((corner.y() - whole.y()) * 4) % 4;
    const quint64 key = quint64(step) << 8 | quint64(isPaused) << 4 | quint64(quarterX) << 2 | quint64(quarterY);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap& picture = pictures.pixmap(key, QSize(extent + 1, extent + 1), ratio, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF inside(extent / 2.0 + quarterX / 4.0, extent / 2.0 + quarterY / 4.0);
        const auto status = ActiveRowRules::statusLine(isPaused);
        if (status.showsRing) {
            const auto small = ActiveRowRules::ring(false);
            const auto wide = ActiveRowRules::ring(true);
            const double t = step / 100.0;
            const double diameter = lerp(small.diameter, wide.diameter, t);
            const double lineWidth = lerp(small.lineWidth, wide.lineWidth, t);
            const double opacity = lerp(small.opacity, wide.opacity, t);
            p.setPen(QPen(Style::color(ColorRole::red, opacity), lineWidth));
            p.setBrush(Qt::NoBrush);
            // The stroke is centred on the circle's outline, as a stroked circle of that diameter.
            p.drawEllipse(inside, diameter / 2.0, diameter / 2.0);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Style::color(status.dot));
        p.drawEllipse(inside, 4.0, 4.0);
    });
    painter.drawPixmap(whole, picture);
}

} // namespace RecordingDot
