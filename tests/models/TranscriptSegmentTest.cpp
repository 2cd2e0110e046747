#include "models/TranscriptSegment.h"

#include <QJsonDocument>

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
    const TranscriptSegment segment{QUuid::createUuid(), 0.5, 1.75, QStringLiteral("Hello")};
    const QJsonObject json = segment.toJson();
    EXPECT_EQ(json.keys().size(), 4);
    EXPECT_EQ(TranscriptSegment::fromJson(json), segment);

    QJsonObject extra = json;
    extra.insert(QStringLiteral("speaker"), 2);
    EXPECT_EQ(TranscriptSegment::fromJson(extra), segment);

    QJsonObject noText = json;
    noText.remove(QStringLiteral("text"));
    EXPECT_FALSE(TranscriptSegment::fromJson(noText));
    QJsonObject stringStart = json;
    stringStart.insert(QStringLiteral("start"), QStringLiteral("0.5"));
    EXPECT_FALSE(TranscriptSegment::fromJson(stringStart));
}
