#include "views/detail/TrimOverlay.h"

#include "viewmodels/TrimSession.h"
#include "views/logic/TrimHandleRules.h"
#include "views/style/Style.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace TrimHandleRules;

TrimOverlay::TrimOverlay(TrimSession& trim, QWidget* waveform, QWidget* parent)
    : QWidget(parent)
    , m_trim(trim)
    , m_waveform(waveform)
{
    setObjectName(QStringLiteral("trimOverlay"));
    waveform->installEventFilter(this);
    followWaveform();
    connect(&m_trim, &TrimSession::trimStartTimeChanged, this, qOverload<>(&QWidget::update));
    connect(&m_trim, &TrimSession::trimEndTimeChanged, this, qOverload<>(&QWidget::update));
}

void TrimOverlay::setDuration(double seconds)
{
    m_duration = seconds;
    update();
}

bool TrimOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_waveform && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        followWaveform();
    return QWidget::eventFilter(watched, event);
}

void TrimOverlay::followWaveform()
{
    // The waveform's area and room for half an end handle beyond it.
    setGeometry(m_waveform->geometry().adjusted(0, 0, int(handleWidth / 2), 0));
    raise();
}

double TrimOverlay::waveformWidth() const
{
    return std::max(m_waveform->width(), 1);
}

std::optional<TrimOverlay::Handle> TrimOverlay::handleAt(double x) const
{
    const Overlay o = overlay(waveformWidth(), m_duration, m_trim.trimStartTime(), m_trim.trimEndTime());
    // The end handle is drawn over the start handle, so it is found first.
    if (x >= o.endHandleX && x <= o.endHandleX + handleWidth)
        return Handle::end;
    if (x >= o.startHandleX && x <= o.startHandleX + handleWidth)
        return Handle::start;
    return std::nullopt;
}

void TrimOverlay::mousePressEvent(QMouseEvent* event)
{
    // Taken whole: a click beside the handles moves nothing.
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_dragged = handleAt(event->position().x());
    m_pressX = event->position().x();
    m_moved = false;
}

void TrimOverlay::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_dragged || !(event->buttons() & Qt::LeftButton))
        return;
    const double x = event->position().x();
    // A drag starts after one point of movement.
    if (!m_moved && std::abs(x - m_pressX) < 1)
        return;
    m_moved = true;
    const Overlay o = overlay(waveformWidth(), m_duration, m_trim.trimStartTime(), m_trim.trimEndTime());
    if (*m_dragged == Handle::start)
        m_trim.setTrimStartTime(draggedStart(x, waveformWidth(), m_duration, o.endX, m_trim.trimEndTime()));
    else
        m_trim.setTrimEndTime(draggedEnd(x, waveformWidth(), m_duration, o.startX, m_trim.trimStartTime()));
}

void TrimOverlay::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    m_dragged.reset();
}

void TrimOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double h = height();
    const Overlay o = overlay(waveformWidth(), m_duration, m_trim.trimStartTime(), m_trim.trimEndTime());
    const QColor mask(0, 0, 0, int(255 * 0.55));
    const QColor orange = Style::color(ColorRole::orange);

    painter.fillRect(QRectF(0, 0, o.leftMaskWidth, h), mask);
    painter.fillRect(QRectF(o.rightMaskX, 0, o.rightMaskWidth, h), mask);

    const QRectF frame(o.frameX, 0, o.frameWidth, h);
    painter.fillRect(frame, Style::color(ColorRole::orange, 0.06));
    painter.setPen(QPen(orange, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(1, 1, -1, -1));

    paintHandle(painter, o.startHandleX, Handle::start);
    paintHandle(painter, o.endHandleX, Handle::end);
}

void TrimOverlay::paintHandle(QPainter& painter, double left, Handle handle) const
{
    const QColor orange = Style::color(ColorRole::orange);
    const QRectF knob(left, 0, handleWidth, knobHeight);

    // The knob's soft shadow, then the knob.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, int(255 * 0.3 / 2)));
    painter.drawRoundedRect(knob.adjusted(-1, -1, 1, 1), 4, 4);
    painter.setBrush(orange);
    painter.drawRoundedRect(knob, 3, 3);

    // Below it, the bar down the waveform.
    const double barHeight = std::max(height() - knobHeight, 0.0);
    painter.fillRect(QRectF(left + (handleWidth - barWidth) / 2, knobHeight, barWidth, barHeight), orange);

    // A small white chevron pointing into the range.
    const double cx = knob.center().x();
    const double cy = knob.center().y();
    const double dx = handle == Handle::start ? 1.75 : -1.75;
    QPen chevron(Qt::white, 2);
    chevron.setCapStyle(Qt::RoundCap);
    chevron.setJoinStyle(Qt::RoundJoin);
    painter.setPen(chevron);
    painter.setBrush(Qt::NoBrush);
    const QPointF points[] = {{cx - dx, cy - 3.5}, {cx + dx, cy}, {cx - dx, cy + 3.5}};
    painter.drawPolyline(points, 3);
}
