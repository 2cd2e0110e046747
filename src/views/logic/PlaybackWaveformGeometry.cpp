#include "views/logic/PlaybackWaveformGeometry.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace PlaybackWaveformGeometry {

namespace {

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

} // namespace

BarLayout barLayout(double areaWidth, int barCount)
{
    BarLayout layout;
    layout.width = std::max(finiteOr(areaWidth, 1.0), 1.0);
    const int count = std::max(barCount, 1);
    layout.slot = layout.width / count;
    layout.barWidth = std::max(std::min(layout.slot * 0.65, 3.5), 1.2);
    layout.spacing = std::max(layout.slot - layout.barWidth, 0.4);
    const double rowWidth = count * layout.barWidth + (count - 1) * layout.spacing;
    layout.firstX = (layout.width - rowWidth) / 2;
    return layout;
}

double barHeight(double height, float value)
{
    const double v = std::isfinite(value) ? std::clamp(static_cast<double>(value), 0.0, 1.0) : 0.0;
    return std::max(height * 0.76 * v, 5.0);
}

double displayTime(bool isDragging, std::optional<double> dragTargetTime, double currentTime)
{
    if (isDragging && dragTargetTime)
        return *dragTargetTime;
    return currentTime;
}

double progress(double time, double duration)
{
    if (!(duration > 0) || !std::isfinite(duration) || std::isnan(time))
        return 0;
    const double p = std::min(time / duration, 1.0);
    return p < 0 ? 0 : p;
}

bool isPlayed(int index, int barCount, double progress)
{
    if (barCount <= 0)
        return false;
    return static_cast<double>(index) / barCount <= progress;
}

double playheadX(double areaWidth, double progress)
{
    const double width = std::max(finiteOr(areaWidth, 1.0), 1.0);
    return std::max(std::min(width * progress, width - 2), 0.0);
}

double playheadDotSize(bool isDragging)
{
    return isDragging ? 12 : 8;
}

double playheadOffset(bool isDragging)
{
    return isDragging ? -5 : -3;
}

double playheadLineHeight(double height)
{
    return height * 0.85;
}

double seekTarget(double x, double areaWidth, double duration)
{
    const double width = std::max(finiteOr(areaWidth, 1.0), 1.0);
    const double fraction = std::isnan(x) ? 0.0 : std::clamp(x / width, 0.0, 1.0);
    return finiteOr(duration, 0.0) * fraction;
}

QList<float> placeholderSamples()
{
    QList<float> samples;
    samples.reserve(placeholderBarCount);
    auto* random = QRandomGenerator::global();
    // Rounding to float could reach the open end; keep below it.
    const float highest = std::nextafter(0.70f, 0.0f);
    for (int i = 0; i < placeholderBarCount; ++i)
        samples.append(std::min(static_cast<float>(0.15 + random->bounded(0.55)), highest));
    return samples;
}

} // namespace PlaybackWaveformGeometry
