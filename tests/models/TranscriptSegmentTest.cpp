#include "models/IndexCodec.h"
#include "models/TranscriptSegment.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

TEST(TranscriptSegment, FormattedTimestampTruncatesWithoutHours)
{
    struct Case {
        double start;
        const char* text;
    } cases[] = {
        {0.0, "00:00"},
        {59.99, "00:59"},
        {61.5, "01:01"},
        {62 * 60 + 5.9, "62:05"},
        {std::numeric_limits<double>::quiet_NaN(), "--:--"},
        {std::numeric_limits<double>::infinity(), "--:--"},
        {1e300, "--:--"},
        {-5, "--:--"},
    };
    for (const auto& c : cases) {
        TranscriptSegment segment{QUuid::createUuid(), c.start, c.start + 1, QStringLiteral("x")};
        EXPECT_EQ(segment.formattedTimestamp(), QLatin1String(c.text)) << c.start;
    }
}

TEST(TranscriptSegment, EqualityAndHashCoverEveryField)
{
    const TranscriptSegment a{QUuid::createUuid(), 1.0, 2.0, QStringLiteral("hi")};
    const TranscriptSegment b{QUuid::createUuid(), 1.0, 2.0, QStringLiteral("hi")};
    EXPECT_NE(a, b);
    TranscriptSegment c = a;
    EXPECT_EQ(a, c);
    EXPECT_EQ(qHash(a), qHash(c));
    TranscriptSegment zero{a.id, 0.0, 2.0, a.text};
    TranscriptSegment negativeZero{a.id, -0.0, 2.0, a.text};
    EXPECT_EQ(zero, negativeZero);
    EXPECT_EQ(qHash(zero), qHash(negativeZero));
}

TEST(TranscriptSegment, JsonKeysAreRequiredAndExtraKeysIgnored)
{
    const QByteArray record = R"({"id":"6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10","title":"T","fileName":"T_1.mp3",)"
                              R"("createdAt":1.5,"duration":2,"fileSizeBytes":10,"waveformSamples":[0.5],)"
                              R"("transcriptSegments":[%1]})";
    const QByteArray id = R"("id":"6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C11")";
    // A segment that cannot be read is left out; the record still loads.
    struct Case {
        QByteArray segment;
        bool decodes;
    } cases[] = {
        {"{" + id + R"(,"start":0.5,"end":1.75,"text":"Hello"})", true},
        {"{" + id + R"(,"speaker":2,"text":"Hello","end":1.75,"start":0.5})", true}, // any order, extra keys
        {"{" + id + R"(,"start":0.5,"end":1.75})", false},
        {"{" + id + R"(,"start":"0.5","end":1.75,"text":"Hello"})", false},
        {R"({"id":"x","start":0.5,"end":1.75,"text":"Hello"})", false},
        {"[]", false},
    };
    for (const Case& c : cases) {
        bool mended = false;
        const auto item = IndexCodec::decodeRecord(QByteArray(record).replace("%1", c.segment), nullptr, &mended);
        ASSERT_TRUE(item) << c.segment.toStdString();
        EXPECT_EQ(mended, !c.decodes) << c.segment.toStdString();
        ASSERT_TRUE(item->transcriptSegments);
        EXPECT_EQ(item->transcriptSegments->size(), c.decodes ? 1 : 0) << c.segment.toStdString();
        if (c.decodes) {
            ASSERT_EQ(item->transcriptSegments->size(), 1);
            EXPECT_EQ(item->transcriptSegments->first().start, 0.5);
            EXPECT_EQ(item->transcriptSegments->first().end, 1.75);
            EXPECT_EQ(item->transcriptSegments->first().text, QStringLiteral("Hello"));
        }
    }
}
