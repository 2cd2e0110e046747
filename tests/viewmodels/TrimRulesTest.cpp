// The range test and the re-timing of a transcript to a cut.

#include "viewmodels/TrimRules.h"

#include <QUuid>

#include <gtest/gtest.h>

namespace {

TranscriptSegment segment(double start, double end, const QString& text)
{
    return {QUuid::createUuid(), start, end, text};
}

struct Timed {
    double start;
    double end;
    QString text;
    friend bool operator==(const Timed&, const Timed&) = default;
};

std::vector<Timed> timings(const TrimRules::Transcript& transcript)
{
    std::vector<Timed> out;
    if (transcript.segments)
        for (const TranscriptSegment& s : *transcript.segments)
            out.push_back({s.start, s.end, s.text});
    return out;
}

void PrintTo(const Timed& t, std::ostream* out)
{
    *out << t.start << "-" << t.end << " " << t.text.toStdString();
}

} // namespace

TEST(TrimRules, RangeOfHalfASecondIsTheShortestCut)
{
    struct Case {
        double start;
        double end;
        bool cut;
    };
    const Case cases[] = {
        {0, 0.5, true},
        {5, 5.51, true},
        {1.1, 1.1 + 0.5, true}, // as a handle holds it, rounding and all
        {0.7, 1.2, true}, // 1.2 - 0.7 is a hair below 0.5 in binary
        {0, 0.49, false},
        {3, 3.4999, false},
        {4, 4, false},
        {6, 2, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrimRules::isLongEnough(c.start, c.end), c.cut) << c.start << " to " << c.end;
}

TEST(TrimRules, RetimesTheSegmentsThatOverlapTheRange)
{
    const QList<TranscriptSegment> three
        = {segment(0, 4, QStringLiteral("one")), segment(4, 9, QStringLiteral("two")),
           segment(9, 12, QStringLiteral("three"))};
    struct Case {
        const char* name;
        double start;
        double end;
        double newDuration;
        std::vector<Timed> kept;
        std::optional<QString> text;
    };
    const std::vector<Case> cases = {
        // The last segment only touches 9 s and goes; the middle one starts before 5 s.
        {"middle", 5, 9, 4, {{0, 4, QStringLiteral("two")}}, QStringLiteral("two")},
        {"whole", 0, 12, 12,
         {{0, 4, QStringLiteral("one")}, {4, 9, QStringLiteral("two")}, {9, 12, QStringLiteral("three")}},
         QStringLiteral("one two three")},
        // The end is limited to the new length.
        {"tail cut short", 2, 10, 7.5, {{0, 2, QStringLiteral("one")}, {2, 7, QStringLiteral("two")},
                                        {7, 7.5, QStringLiteral("three")}},
         QStringLiteral("one two three")},
        {"touching the start only", 4, 4.6, 0.6, {{0, 0.6, QStringLiteral("two")}}, QStringLiteral("two")},
        {"past every segment", 12, 20, 8, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        const TrimRules::Transcript result = TrimRules::retime(three, c.start, c.end, c.newDuration);
        EXPECT_EQ(timings(result), c.kept) << c.name;
        EXPECT_EQ(result.text, c.text) << c.name;
        EXPECT_EQ(result.segments.has_value(), !c.kept.empty()) << c.name;
    }
}

TEST(TrimRules, KeptSegmentsGetNewIds)
{
    const TranscriptSegment original = segment(1, 3, QStringLiteral("hello"));
    const TrimRules::Transcript result = TrimRules::retime(QList<TranscriptSegment>{original}, 0, 5, 5);
    ASSERT_TRUE(result.segments);
    EXPECT_NE(result.segments->first().id, original.id);
    EXPECT_FALSE(result.segments->first().id.isNull());
}

TEST(TrimRules, NoSegmentsGiveNoTranscript)
{
    EXPECT_EQ(TrimRules::retime(std::nullopt, 0, 5, 5), TrimRules::Transcript{});
    EXPECT_EQ(TrimRules::retime(QList<TranscriptSegment>{}, 0, 5, 5), TrimRules::Transcript{});
}
