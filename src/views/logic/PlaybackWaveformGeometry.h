#pragma once

#include <QList>

#include <optional>

// Geometry of a stored recording's bar waveform: bars, played part, playhead
// and the time a click or drag points at. Pure arithmetic on the area's size,
// the stored duration and the position, so it is tested without widgets.
namespace PlaybackWaveformGeometry {

constexpr double areaHeight = 130;
constexpr int placeholderBarCount = 80;

struct BarLayout {
    double width = 0;   // usable width, at least 1
    double slot = 0;    // width per sample
    double barWidth = 0;
    double spacing = 0;
    double firstX = 0;  // left edge of bar 0; the row is centred and may overflow

    double barX(int index) const { return firstX + index * (barWidth + spacing); }
};

// Bars b = clamp(slot * 0.65, 1.2, 3.5) wide, at least 0.4 apart.
BarLayout barLayout(double areaWidth, int barCount);

// max(height * 0.76 * value, 5); values outside 0...1 (or not numbers) are
// clamped so a damaged record never draws outside the area.
double barHeight(double height, float value);

// Where the bars, playhead and labels stand: the drag target while a drag
// runs, else the player's position.
double displayTime(bool isDragging, std::optional<double> dragTargetTime, double currentTime);

// t / D limited to 0...1; 0 for a duration that is not positive.
double progress(double time, double duration);

// Bar i counts as played when i / N <= progress, so the first always does.
bool isPlayed(int index, int barCount, double progress);

// Playhead x: width * progress, kept between 0 and width - 2.
double playheadX(double areaWidth, double progress);
// The playhead's dot grows while dragging and is shifted by half its size.
double playheadDotSize(bool isDragging);
double playheadOffset(bool isDragging);
double playheadLineHeight(double height);

// The time under a pointer at x: duration * clamp(x / width, 0, 1).
double seekTarget(double x, double areaWidth, double duration);

// Stand-in heights for a recording without samples: 80 values in [0.15, 0.70).
QList<float> placeholderSamples();

} // namespace PlaybackWaveformGeometry
