#include "views/logic/LiveWaveformRules.h"

#include <algorithm>
#include <cmath>

namespace LiveWaveformRules {

int capacity(double stripWidth)
{
    if (!std::isfinite(stripWidth))
        return minimumCapacity;
    const double usable = std::max(stripWidth - 2 * stripInset, 0.0) + barGap;
    const double fit = usable / (barWidth + barGap);
    // The cap keeps the cast defined; no screen is this wide.
    return std::max(minimumCapacity, static_cast<int>(std::min(fit, 1e6)));
}

QList<float> shownValues(const QList<float>& points, int capacity)
{
    const qsizetype count = std::min<qsizetype>(points.size(), std::max(capacity, 0));
    return points.mid(points.size() - count);
}

double barHeight(double height, float value)
{
    const double v = std::isfinite(value) ? std::clamp(static_cast<double>(value), 0.0, 1.0) : 0.0;
    return std::max(height * 0.75 * v, 4.0);
}

double barX(double stripWidth, int index, int count)
{
    const double rightEdge = stripWidth - stripInset;
    const int fromRight = count - index; // bars at and right of this one
    return rightEdge - fromRight * barWidth - (fromRight - 1) * barGap;
}

StateLine stateLine(RecorderState state)
{
    switch (state) {
    case RecorderState::idle:
        return {QString(), ColorRole::secondary, {}, 1.0, false};
    case RecorderState::starting:
        return {QStringLiteral("STARTING..."), ColorRole::secondary, {}, 1.0, false};
    case RecorderState::recording:
        return {QStringLiteral("RECORDING"), ColorRole::red, {ColorRole::red, 0.4}, 1.5, true};
    case RecorderState::paused:
        return {QStringLiteral("PAUSED"), ColorRole::orange, {ColorRole::orange, 0.4}, 1.0, false};
    case RecorderState::stopping:
        return {QStringLiteral("SAVING..."), ColorRole::secondary, {}, 1.0, false};
    }
    return {};
}

} // namespace LiveWaveformRules
