#pragma once

#include "models/TranscriptSegment.h"

#include <QList>
#include <QUuid>

#include <optional>

// How the transcript's segment list follows the player: which segment a
// playback position is in, and where a click on a segment moves playback.
namespace TranscriptTracking {

// The segment playback is in at `time` seconds. A gap between two segments
// belongs to the earlier one, a time before the first segment to the first,
// and any time after the last segment's end (or not a number) to the last;
// of overlapping segments the earlier one in the list holds until its own
// end. Nothing for an empty list.
std::optional<QUuid> computeActiveSegmentID(double time, const QList<TranscriptSegment>& segments);

// Where playback starts for a clicked segment: a moment before it, so its
// first word is heard whole; never before the file's start nor past its end.
double seekPosition(double segmentStart, double duration);

// Lead-in before a clicked segment, in seconds.
inline constexpr double seekLeadIn = 0.15;

} // namespace TranscriptTracking
