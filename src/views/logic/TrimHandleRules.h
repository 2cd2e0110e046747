#pragma once

#include <QString>

// The trim selection drawn over a stored recording's waveform: where the
// masks, the frame and the two handles stand, and what a handle drag writes.
// Pure arithmetic on the waveform's width W (at least 1), the stored duration
// D and the range, so it is tested without widgets.
namespace TrimHandleRules {

// The handles never come closer than this many points...
constexpr double handleGap = 16;
// ...nor the range below this many seconds; the stricter rule wins.
constexpr double minimumRange = 0.5;
constexpr double handleWidth = 14;
constexpr double knobHeight = 26;
constexpr double barWidth = 3;

struct Overlay {
    double startX = 0;
    double endX = 0;
    double leftMaskWidth = 0;
    double rightMaskX = 0;
    double rightMaskWidth = 0;
    double frameX = 0;
    double frameWidth = 0;
    double startHandleX = 0; // left edge of the start handle
    double endHandleX = 0; // left edge of the end handle

    friend bool operator==(const Overlay&, const Overlay&) = default;
};

// startX = W * clamp(start / D, 0, 1), endX = W * clamp(end / D, 0, 1); with
// no positive D the whole width is selected.
Overlay overlay(double width, double duration, double start, double end);

// The selected length, never negative.
double selectedLength(double start, double end);

// The new start for a drag of the start handle to `x`, against the end
// handle standing at `endX` and the range ending at `end`.
double draggedStart(double x, double width, double duration, double endX, double end);
// The new end for a drag of the end handle to `x`, against the start handle
// at `startX` and the range starting at `start`.
double draggedEnd(double x, double width, double duration, double startX, double start);

// "Selected length: 1:05 (from 1:05 to 2:10). Save as a new recording or replace original?"
QString confirmationMessage(double start, double end);

} // namespace TrimHandleRules
