#include "views/detail/PlaybackWaveformCanvas.h"

#include "views/style/Style.h"
#include "views/logic/PlaybackWaveformGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace PlaybackWaveformGeometry;

PlaybackWaveformCanvas::PlaybackWaveformCanvas(QWidget* parent)
    : QWidget(parent)
    , m_playedColor(palette().color(QPalette::Highlight))
{
    setFixedHeight(int(areaHeight));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    m_shown = placeholderSamples();
}

QSize PlaybackWaveformCanvas::sizeHint() const
{
    return QSize(600, int(areaHeight));
}

void PlaybackWaveformCanvas::setSamples(const QList<float>& samples)
{
    m_samples = samples;
    refresh();
}

void PlaybackWaveformCanvas::setDuration(double seconds)
{
    m_duration = seconds;
    refresh();
}

void PlaybackWaveformCanvas::setCurrentTime(double seconds)
{
    m_currentTime = seconds;
    refresh();
    Q_EMIT displayTimeChanged();
}

void PlaybackWaveformCanvas::setPlayedColor(const QColor& color)
{
    m_playedColor = color;
    update();
}

void PlaybackWaveformCanvas::setSeekEnabled(bool enabled)
{
    m_seekEnabled = enabled;
    setCursor(enabled ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (!enabled && m_isDragging) {
        m_isDragging = false;
        m_dragTargetTime.reset();
        Q_EMIT displayTimeChanged();
    }
    update();
}

double PlaybackWaveformCanvas::displayTime() const
{
    return PlaybackWaveformGeometry::displayTime(m_isDragging, m_dragTargetTime, m_currentTime);
}

void PlaybackWaveformCanvas::refresh()
{
    // A recording without samples gets new stand-in bars at every refresh.
    m_shown = m_samples.isEmpty() ? placeholderSamples() : m_samples;
    update();
}

double PlaybackWaveformCanvas::targetAt(double x) const
{
    return seekTarget(x, width(), m_duration);
}

void PlaybackWaveformCanvas::mousePressEvent(QMouseEvent* event)
{
    if (!m_seekEnabled || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    mouseMoveEvent(event);
}

void PlaybackWaveformCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_seekEnabled || !(event->buttons() & Qt::LeftButton))
        return;
    const double target = targetAt(event->position().x());
    m_isDragging = true;
    m_dragTargetTime = target;
    if (m_seek)
        m_seek(target);
    refresh();
    Q_EMIT displayTimeChanged();
}

void PlaybackWaveformCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_seekEnabled || event->button() != Qt::LeftButton || !m_isDragging)
        return;
    const double target = targetAt(event->position().x());
    if (m_seek)
        m_seek(target);
    m_dragTargetTime.reset();
    m_isDragging = false;
    refresh();
    Q_EMIT displayTimeChanged();
}

void PlaybackWaveformCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double h = height();
    const int count = int(m_shown.size());
    const BarLayout layout = barLayout(width(), count);
    const double p = progress(displayTime(), m_duration);
    const QColor unplayed = Style::color(Tint{ColorRole::gray, 0.35});

    painter.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double barH = barHeight(h, m_shown.at(i));
        QPainterPath bar;
        bar.addRoundedRect(QRectF(layout.barX(i), (h - barH) / 2, layout.barWidth, barH), 1.5, 1.5);
        painter.fillPath(bar, isPlayed(i, count, p) ? m_playedColor : unplayed);
    }

    // The playhead: a dot over a line, shifted left by about half the dot.
    const double dot = playheadDotSize(m_isDragging);
    const double lineH = playheadLineHeight(h);
    const double left = playheadX(layout.width, p) + playheadOffset(m_isDragging);
    const double top = (h - dot - lineH) / 2;
    painter.setBrush(QColor(0, 0, 0, 77));
    painter.drawEllipse(QRectF(left, top + 1, dot, dot).adjusted(-1, -1, 1, 1));
    painter.setBrush(m_playedColor);
    painter.drawEllipse(QRectF(left, top, dot, dot));
    painter.fillRect(QRectF(left + dot / 2 - 1, top + dot, 2, lineH), m_playedColor);
}
