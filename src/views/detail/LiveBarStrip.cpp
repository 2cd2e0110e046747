#include "views/detail/LiveBarStrip.h"

#include "views/common/FrameClock.h"
#include "views/style/Style.h"
#include "views/logic/LiveWaveformRules.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

using namespace LiveWaveformRules;

LiveBarStrip::LiveBarStrip(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(int(stripHeight));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // It lays the background under the bars itself: new values redraw the
    // strip alone, not the pane and the window below it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize LiveBarStrip::sizeHint() const
{
    return QSize(600, int(stripHeight));
}

int LiveBarStrip::capacity() const
{
    return LiveWaveformRules::capacity(width());
}

void LiveBarStrip::setPoints(const QList<float>& points)
{
    // A shared copy: the values are picked when they are drawn.
    m_points = points;
    m_shownStale = true;
    FrameClock::shared().requestUpdate(this);
}

const QList<float>& LiveBarStrip::shownValues() const
{
    if (m_shownStale) {
        m_shown = LiveWaveformRules::shownValues(m_points, capacity());
        m_shownStale = false;
    }
    return m_shown;
}

void LiveBarStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_shownStale = true;
}

void LiveBarStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().brush(QPalette::Window));
    painter.setClipRect(rect());
    const double h = height();
    const QList<float>& shown = shownValues();
    const int count = int(shown.size());
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < count; ++i) {
        // Each bar is drawn once per half-pixel height and quarter-pixel
        // place, then copied: the strip moves with every new value.
        const int halfPixels = qRound(barHeight(h, shown.at(i)) * 2);
        const double barH = halfPixels / 2.0;
        const QPointF corner(barX(width(), i, count), (h - barH) / 2);
        const QPoint whole(qFloor(corner.x()), qFloor(corner.y()));
        const int quarterX = qRound((corner.x() - whole.x()) * 4) % 4;
        const int quarterY = qRound((corner.y() - whole.y()) * 4) % 4;
        const quint64 key = quint64(halfPixels) << 8 | quint64(quarterX) << 2 | quint64(quarterY);
        const QSize size(int(std::ceil(barWidth)) + 2, int(std::ceil(barH)) + 2);
        painter.drawPixmap(whole, m_bars.pixmap(key, size, ratio, [&](QPainter& bar) {
            bar.setRenderHint(QPainter::Antialiasing);
            const QRectF rect(quarterX / 4.0, quarterY / 4.0, barWidth, barH);
            // Each bar runs the whole gradient over its own height.
            QLinearGradient gradient(rect.bottomLeft(), rect.topLeft());
            gradient.setColorAt(0, Style::color(ColorRole::red));
            gradient.setColorAt(1, Style::color(ColorRole::orange));
            QPainterPath path;
            path.addRoundedRect(rect, 2, 2);
            bar.fillPath(path, gradient);
        }));
    }
}
