#pragma once

#include "models/TranscriptSegment.h"

#include <QList>
#include <QString>

#include <optional>

// The arithmetic of cutting a recording down to a range: whether a range may
// be cut, and what becomes of the transcript.
namespace TrimRules {

// The shortest range that is cut, in seconds.
constexpr double minimumRange = 0.5;
// Handles that hold the range at exactly the minimum may land a rounding
// error below it; that much short still counts as the minimum.
constexpr double rangeTolerance = 1e-6;

// True when [start, end] is at least `minimumRange` long.
bool isLongEnough(double start, double end);

// True when [start, end] keeps all of a recording `duration` seconds long:
// cutting it would only copy the recording.
bool keepsEverything(double start, double end, double duration);

struct Transcript {
    std::optional<QList<TranscriptSegment>> segments;
    std::optional<QString> text;

    friend bool operator==(const Transcript&, const Transcript&) = default;
};

// The segments overlapping (start, end), in order, each with a new id and its
// times moved to the new start: the start not below 0, the end not beyond
// `newDuration`. A segment that only touches the range is dropped. The text is
// the kept segments' texts joined with one space; no kept segment (or no
// segments at all) gives neither segments nor text.
Transcript retime(const std::optional<QList<TranscriptSegment>>& segments, double start, double end,
                  double newDuration);

// ".trim_temp_<UUID>.mp3": where a cut is written before it takes its name.
QString temporaryFileName();

} // namespace TrimRules
