#pragma once

// The level meter's fill: how much of its track a level covers.
namespace LevelMeterRules {

// The fill's width on a track `width` wide: the level's share of it, never
// more than the track; nothing for an inactive source or a negative or
// undefined level.
double fillWidth(double width, float level, bool isActive);

// How long the fill glides to a new level, in milliseconds.
constexpr int glideMilliseconds = 80;

} // namespace LevelMeterRules
