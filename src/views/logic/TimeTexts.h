#pragma once

#include <QString>

// The clock texts of the audio pane. Minutes are never folded into hours
// (4,505 s read 75:05). Values no producer makes (NaN, infinities, beyond a
// 64-bit count of seconds) give dashes instead of overflowing.
namespace TimeTexts {

// "%d:%02d" of the whole seconds, truncated toward zero.
QString minutesSeconds(double seconds);

// "-" and minutesSeconds of what is left, never negative; dashes for a
// negative duration.
QString remaining(double duration, double position);

// The live timer, "%02d:%02d.%d": tenths are truncated, never rounded.
QString timer(double seconds);

} // namespace TimeTexts
