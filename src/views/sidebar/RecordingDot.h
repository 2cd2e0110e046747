#pragma once

#include <QPointF>

class QPainter;

// The dot of the recording in progress: red with a ring that breathes, or
// orange without a ring while paused.
namespace RecordingDot {

// `pulse` runs from 0 (the small ring) to 1 (the wide faint one).
void paint(QPainter& painter, const QPointF& centre, bool isPaused, double pulse);

// Where the pulse stands at `progress` through one whole breath (0 to 1):
// eased out to the wide ring and back in, one half period each way.
double breathe(double progress);

} // namespace RecordingDot
