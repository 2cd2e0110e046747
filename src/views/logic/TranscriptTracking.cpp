#include "views/logic/TranscriptTracking.h"

#include <algorithm>
#include <cmath>

namespace TranscriptTracking {

namespace {

// How long after its end the last segment stays the one being played.
constexpr double lastSegmentTail = 2.0;

} // namespace

std::optional<QUuid> computeActiveSegmentID(double time, const QList<TranscriptSegment>& segments)
{
    const qsizetype count = segments.size();
    if (count == 0)
        return std::nullopt;
    for (qsizetype i = 0; i < count; ++i) {
        const TranscriptSegment& segment = segments.at(i);
        const double nextStart = i + 1 < count ? segments.at(i + 1).start : segment.end + lastSegmentTail;
        const double bound = std::max(segment.end, nextStart);
        if (segment.start <= time && time < bound)
            return segment.id;
    }
    // Every comparison with NaN is false: it lands on the last segment.
    if (time < segments.first().start)
        return segments.first().id;
    return segments.last().id;
}

double seekPosition(double segmentStart, double duration)
{
    double target = segmentStart - seekLeadIn;
    if (!std::isfinite(target) || target < 0)
        target = 0;
    if (duration < target)
        target = duration;
    if (!(target >= 0))
        target = 0;
    return target;
}

} // namespace TranscriptTracking
