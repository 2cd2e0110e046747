#pragma once

#include "models/RecorderState.h"
#include "views/logic/ViewColor.h"

#include <QList>
#include <QString>

// The live recording pane: the state line, the rolling bar strip and the
// recap-format chips, decided without widgets.
namespace LiveWaveformRules {

constexpr double stripHeight = 140;
constexpr double stripInset = 32;
constexpr double barWidth = 3.5;
constexpr double barGap = 3;
constexpr int minimumCapacity = 20;

// How many of the newest values fit: at least 20, else
// (max(width - 64, 0) + 3) / 6.5 truncated.
int capacity(double stripWidth);

// The newest `capacity` values, oldest first.
QList<float> shownValues(const QList<float>& points, int capacity);

// max(height * 0.75 * value, 4), centred on the strip's middle line.
double barHeight(double height, float value);

// Left edge of bar `index` of `count` shown bars: the newest ends at the
// strip's right inset and the row grows to the left (clipped there).
double barX(double stripWidth, int index, int count);

struct StateLine {
    QString word;
    ColorRole color = ColorRole::secondary; // dot and word
    Tint ring;                              // clear when role is none
    double ringScale = 1.0;
    bool ringPulses = false;

    friend bool operator==(const StateLine&, const StateLine&) = default;
};

StateLine stateLine(RecorderState state);

} // namespace LiveWaveformRules
