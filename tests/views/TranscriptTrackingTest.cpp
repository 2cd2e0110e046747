#include "views/logic/TranscriptTracking.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace TranscriptTracking;

namespace {

QList<TranscriptSegment> segmentsAt(std::initializer_list<std::pair<double, double>> spans)
{
    QList<TranscriptSegment> segments;
    for (const auto& [start, end] : spans)
        segments.append({QUuid::createUuid(), start, end, QStringLiteral("words")});
    return segments;
}

// The index of the active segment, -1 for none.
int activeIndex(double time, const QList<TranscriptSegment>& segments)
{
    const auto id = computeActiveSegmentID(time, segments);
    if (!id)
        return -1;
    for (int i = 0; i < segments.size(); ++i) {
        if (segments.at(i).id == *id)
            return i;
    }
    ADD_FAILURE() << "an id that is not in the list";
    return -2;
}

} // namespace

TEST(TranscriptTracking, ThePositionPicksTheSegmentItIsIn)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const struct Case {
        const char* name;
        QList<TranscriptSegment> segments;
        double time;
        int active;
    } cases[] = {
        {"no segments", {}, 1.0, -1},
        {"inside the first", segmentsAt({{0, 2}, {3, 5}}), 1.0, 0},
        {"at a start", segmentsAt({{0, 2}, {3, 5}}), 3.0, 1},
        {"gap goes to the earlier", segmentsAt({{0, 2}, {3, 5}}), 2.5, 0},
        {"just after the last", segmentsAt({{0, 2}, {3, 5}}), 5.5, 1},
        {"long after the last", segmentsAt({{0, 2}, {3, 5}}), 60, 1},
        {"before the first", segmentsAt({{1, 2}, {3, 5}}), 0, 0},
        {"negative", segmentsAt({{1, 2}, {3, 5}}), -4, 0},
        {"overlap: the earlier until its end", segmentsAt({{0, 4}, {3, 6}}), 3.5, 0},
        {"overlap: then the later", segmentsAt({{0, 4}, {3, 6}}), 4.5, 1},
        {"not a number", segmentsAt({{0, 2}, {3, 5}, {6, 8}}), nan, 2},
        {"infinity", segmentsAt({{0, 2}, {3, 5}}), infinity, 1},
        {"minus infinity", segmentsAt({{0, 2}, {3, 5}}), -infinity, 0},
        {"one segment", segmentsAt({{4, 9}}), 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(activeIndex(c.time, c.segments), c.active);
    }
}

TEST(TranscriptTracking, AClickStartsALittleBeforeTheSegmentWithinTheFile)
{
    const struct Case {
        const char* name;
        double start;
        double duration;
        double position;
    } cases[] = {
        {"a moment before", 10.0, 60.0, 9.85},
        {"the file's start for an early segment", 0.1, 60.0, 0.0},
        {"exactly the lead-in", 0.15, 60.0, 0.0},
        {"past the file's end", 75.0, 60.0, 60.0},
        {"within the last tenth", 60.1, 60.0, 59.95},
        {"no file length", 10.0, 0.0, 0.0},
        {"a start that is not a number", std::nan(""), 60.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(seekPosition(c.start, c.duration), c.position);
    }
}
