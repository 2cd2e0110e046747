// The index text: our writer and reader against each other, against the
// earlier QJsonDocument form, and against records and documents that are
// damaged or come from other versions.
#include "models/IndexCodec.h"
#include "models/RecordDecoder.h"
#include "models/WaveformReducer.h"
#include "models/WaveformText.h"
#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <charconv>
#include <functional>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

const QByteArray kId = "6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10";

RecordingItem itemWithText(const QString& text)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = text;
    item.fileName = QStringLiteral("Call_1700000000.mp3");
    item.createdAt = Date::fromReferenceSeconds(721692800.25);
    item.duration = 65.4;
    item.fileSizeBytes = 1572864;
    item.waveformSamples = {0.3f, 0.15f, 0.7f};
    item.transcript = text;
    item.transcriptSegments = QList<TranscriptSegment>{{QUuid::createUuid(), 0.0, 1.5, text}};
    item.enhancedFileName = QStringLiteral("Call_1700000000_enhanced.mp3");
    item.summary = text;
    item.summaryCreatedAt = Date::fromReferenceSeconds(721693000.5);
    item.recordingType = RecordingType::lecture;
    return item;
}

// The record as the earlier writer (QJsonDocument) stored it.
QJsonObject earlierForm(const RecordingItem& item)
{
    QJsonArray samples;
    for (float sample : item.waveformSamples) {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, sample).ptr;
        double shortest = 0;
        std::from_chars(text, end, shortest);
        samples.append(shortest);
    }
    QJsonArray segments;
    for (const TranscriptSegment& segment : item.transcriptSegments.value_or(QList<TranscriptSegment>())) {
        segments.append(QJsonObject{{"id", segment.id.toString(QUuid::WithoutBraces).toUpper()},
                                    {"start", segment.start},
                                    {"end", segment.end},
                                    {"text", segment.text}});
    }
    QJsonObject object{{"id", item.id.toString(QUuid::WithoutBraces).toUpper()},
                       {"title", item.title},
                       {"fileName", item.fileName},
                       {"createdAt", item.createdAt.referenceSeconds()},
                       {"duration", item.duration},
                       {"fileSizeBytes", item.fileSizeBytes},
                       {"waveformSamples", samples}};
    if (item.transcript)
        object.insert("transcript", *item.transcript);
    if (item.transcriptSegments)
        object.insert("transcriptSegments", segments);
    if (item.enhancedFileName)
        object.insert("enhancedFileName", *item.enhancedFileName);
    if (item.summary)
        object.insert("summary", *item.summary);
    if (item.summaryCreatedAt)
        object.insert("summaryCreatedAt", item.summaryCreatedAt->referenceSeconds());
    if (item.recordingType)
        object.insert("recordingType", RecordingTypes::rawValue(*item.recordingType));
    return object;
}

QByteArray record(const QByteArray& title, const QByteArray& extra = {})
{
    return R"({"id":")" + kId + R"(","title":)" + title + R"(,"fileName":"a.mp3","createdAt":1,"duration":2,)"
        + R"("fileSizeBytes":3,"waveformSamples":[0.5])" + extra + "}";
}

} // namespace

TEST(IndexCodec, HostileStringsRoundTripAndReadAsTheEarlierReaderReadsThem)
{
    const QString strings[] = {
        QString(),
        QStringLiteral("plain words"),
        QString::fromUtf16(u"every control \u0001\u0008\u0009\u000a\u000c\u000d\u001f and DEL \u007f"),
        QString(QChar(0)) + QStringLiteral("after a NUL"),
        QStringLiteral("quote \" backslash \\ slash / and \\u0041 as text"),
        QString::fromUtf16(u"4-byte emoji \U0001F600\U0001F3B5 and BMP é 中 \u2028"),
        QString::fromUtf16(u"a lone high ") + QChar(0xD800) + QStringLiteral(" and low ") + QChar(0xDC00),
        QString(QChar(0xDBFF)), // a high surrogate at the very end
        QString(QChar(0xDC00)) + QChar(0xD800), // reversed pair
    };
    for (const QString& text : strings) {
        SCOPED_TRACE(text.toStdString());
        const RecordingItem item = itemWithText(text);
        bool sanitised = false;
        const QByteArray encoded = IndexCodec::encode({item}, &sanitised);
        EXPECT_FALSE(sanitised);
        EXPECT_TRUE(QString::fromUtf8(encoded).toUtf8() == encoded) << "valid UTF-8";
        const IndexCodec::Decoded decoded = IndexCodec::decode(encoded);
        ASSERT_FALSE(decoded.damage);
        ASSERT_TRUE(decoded.rejected.isEmpty()) << decoded.problems.join(QLatin1Char(' ')).toStdString();
        ASSERT_EQ(decoded.records.size(), 1);
        EXPECT_EQ(decoded.records.first(), item);

        // The earlier reader takes our text as it took its own, and ours takes its.
        const QJsonDocument earlier = QJsonDocument::fromJson(encoded);
        ASSERT_TRUE(earlier.isArray());
        EXPECT_EQ(earlier.array().first().toObject(), earlierForm(item));
        const QByteArray earlierText = QJsonDocument(QJsonArray{earlierForm(item)}).toJson(QJsonDocument::Compact);
        EXPECT_EQ(IndexCodec::decode(earlierText).records, QList<RecordingItem>{item});
    }
}

TEST(IndexCodec, EscapesReadAsTheEarlierReaderReadThem)
{
    struct Case {
        const char* json;
        QString text;
    } cases[] = {
        {R"("\ud800")", QString(QChar(0xD800))}, // a lone surrogate the earlier writer escaped
        {R"("a\udc00b")", QStringLiteral("a") + QChar(0xDC00) + QStringLiteral("b")},
        {R"("\ud83d\ude00")", QString::fromUtf16(u"\U0001F600")},
        {R"("\u00e9\u4E2D\/\"\\\b\f\n\r\t")", QString::fromUtf16(u"\u00e9\u4e2d/\"\\\b\f\n\r\t")},
        {R"("\u0000")", QString(QChar(0))},
        {"\"\xf0\x9f\x98\x80 raw\"", QString::fromUtf16(u"\U0001F600 raw")},
    };
    for (const Case& c : cases) {
        const auto item = IndexCodec::decodeRecord(record(c.json));
        ASSERT_TRUE(item) << c.json;
        EXPECT_EQ(item->title, c.text) << c.json;
        EXPECT_EQ(QJsonDocument::fromJson("[" + QByteArray(c.json) + "]").array().first().toString(), c.text)
            << "the earlier reader agrees: " << c.json;
    }
}

TEST(IndexCodec, NumbersJsonCannotHoldAreWrittenAsZero)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    RecordingItem item = itemWithText(QStringLiteral("x"));
    item.duration = nan;
    item.createdAt = Date::fromReferenceSeconds(inf);
    item.summaryCreatedAt = Date::fromReferenceSeconds(-inf);
    item.waveformSamples = {0.5f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    item.transcriptSegments = QList<TranscriptSegment>{{QUuid::createUuid(), -inf, nan, QStringLiteral("y")}};
    bool sanitised = false;
    const QByteArray encoded = IndexCodec::encode({item}, &sanitised);
    EXPECT_TRUE(sanitised);
    EXPECT_FALSE(encoded.contains("nan") || encoded.contains("inf") || encoded.contains("null")) << encoded.toStdString();
    const auto decoded = IndexCodec::decode(encoded).records;
    ASSERT_EQ(decoded.size(), 1);
    EXPECT_EQ(decoded.first().duration, 0.0);
    EXPECT_EQ(decoded.first().createdAt.referenceSeconds(), 0.0);
    EXPECT_EQ(decoded.first().summaryCreatedAt->referenceSeconds(), 0.0);
    EXPECT_EQ(decoded.first().waveformSamples, (QList<float>{0.5f, 0.0f, 0.0f}));
    EXPECT_EQ(decoded.first().transcriptSegments->first().start, 0.0);
    EXPECT_EQ(decoded.first().transcriptSegments->first().end, 0.0);
}

TEST(IndexCodec, EachRecordDecodesOnItsOwn)
{
    // Good records around each bad one; the bad one's text is kept as it stood.
    // A record is set aside only when its id, file name or date cannot be read,
    // or it cannot be read at all.
    struct Case {
        const char* what;
        QByteArray bad;
    } cases[] = {
        {"a missing file name", R"({"id":")" + kId + R"(","title":"t","createdAt":1,"duration":2,)"
                                    R"("fileSizeBytes":3,"waveformSamples":[]})"},
        {"a malformed id", R"({"id":"6F1C2A4E","title":"t","fileName":"a.mp3","createdAt":1,"duration":2,)"
                           R"("fileSizeBytes":3,"waveformSamples":[]})"},
        {"a date no double holds", R"({"id":")" + kId + R"(","title":"t","fileName":"a.mp3","createdAt":1e999,)"
                                       R"("duration":2,"fileSizeBytes":3,"waveformSamples":[]})"},
        {"a file name of the wrong kind", R"({"id":")" + kId + R"(","title":"t","fileName":7,"createdAt":1,)"
                                              R"("duration":2,"fileSizeBytes":3,"waveformSamples":[]})"},
        {"broken syntax inside", record(R"("t")", R"(,"transcript":"a" "b")")},
        {"a number, not an object", "5"},
        {"a string, not an object", R"("x")"},
        {"an array, not an object", "[]"},
        {"null", "null"},
    };
    const RecordingItem before = itemWithText(QStringLiteral("before"));
    const RecordingItem after = itemWithText(QStringLiteral("after"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray index =
            "[" + IndexCodec::encodeRecord(before) + ",\n  " + c.bad + " ,\n" + IndexCodec::encodeRecord(after) + "]";
        const IndexCodec::Decoded decoded = IndexCodec::decode(index);
        EXPECT_FALSE(decoded.damage) << decoded.damage.value_or(QString()).toStdString();
        EXPECT_EQ(decoded.records, (QList<RecordingItem>{before, after}));
        ASSERT_EQ(decoded.rejected.size(), 1);
        EXPECT_EQ(decoded.rejected.first(), c.bad);
        EXPECT_FALSE(decoded.problems.first().isEmpty());
        EXPECT_TRUE(decoded.mended.isEmpty());
    }
}

TEST(IndexCodec, WhatCanBeMendedWithoutGuessingIsMendedAndTheOriginalKept)
{
    const QString longTitle = QString(1500, QChar(u'\u00e9'));
    QString cutTitle = QString(999, QChar(u'x')) + QString::fromUtf16(u"\U0001F600");
    struct Case {
        const char* what;
        QByteArray bad;
        std::function<void(const RecordingItem&)> check;
    } cases[] = {
        {"bytes that are no UTF-8", record("\"bad \xff\xfe end\"", ",\"transcript\":\"caf\xe9 au lait\""),
         [](const RecordingItem& item) {
             EXPECT_EQ(item.title, QString::fromUtf16(u"bad \uFFFD\uFFFD end"));
             EXPECT_EQ(item.transcript, QString::fromUtf16(u"caf\uFFFD au lait"));
         }},
        {"waveform values that are no finite number",
         record(R"("t")").replace("[0.5]", R"([0.5,NaN,1e999,"x",null,0.7])"),
         [](const RecordingItem& item) {
             EXPECT_EQ(item.waveformSamples, (QList<float>{0.5f, 0, 0, 0, 0, 0.7f}));
         }},
        {"a segment that is no object, and one that lacks a key",
         record(R"("t")", R"(,"transcriptSegments":[5,{"id":")" + kId + R"(","start":1,"end":2,"text":"kept"},)"
                          R"({"id":")" + kId + R"(","start":3}])"),
         [](const RecordingItem& item) {
             ASSERT_TRUE(item.transcriptSegments);
             ASSERT_EQ(item.transcriptSegments->size(), 1);
             EXPECT_EQ(item.transcriptSegments->first().text, QStringLiteral("kept"));
         }},
        {"values of the wrong kind",
         record("42", R"(,"summary":{"x":1},"transcript":"words","summaryCreatedAt":"soon","fileSizeBytes":3.5)"),
         [](const RecordingItem& item) {
             EXPECT_EQ(item.title, QString());
             EXPECT_FALSE(item.summary);
             EXPECT_FALSE(item.summaryCreatedAt);
             EXPECT_EQ(item.transcript, QStringLiteral("words"));
             EXPECT_EQ(item.fileSizeBytes, 0);
         }},
        {"an invalid escape and a number no double holds",
         record(R"("\x41")", R"(,"summaryCreatedAt":1e999,"summary":"kept")"),
         [](const RecordingItem& item) {
             EXPECT_EQ(item.title, QString());
             EXPECT_FALSE(item.summaryCreatedAt);
             EXPECT_EQ(item.summary, QStringLiteral("kept"));
         }},
        {"a title over a thousand characters", record('"' + longTitle.toUtf8() + '"'),
         [&](const RecordingItem& item) { EXPECT_EQ(item.title, longTitle.left(1000)); }},
        {"a cut that would split a character",
         record('"' + (cutTitle + QStringLiteral("tail")).toUtf8() + '"'),
         [&](const RecordingItem& item) { EXPECT_EQ(item.title, cutTitle); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray index = "[" + c.bad + "]";
        const IndexCodec::Decoded decoded = IndexCodec::decode(index);
        EXPECT_TRUE(decoded.rejected.isEmpty()) << decoded.problems.join(QLatin1Char(' ')).toStdString();
        ASSERT_EQ(decoded.records.size(), 1);
        EXPECT_EQ(decoded.records.first().id.toString(QUuid::WithoutBraces).toUpper().toLatin1(), kId);
        EXPECT_EQ(decoded.records.first().fileName, QStringLiteral("a.mp3"));
        c.check(decoded.records.first());
        EXPECT_EQ(decoded.mended, QList<QByteArray>{c.bad});
    }
    // A title of exactly a thousand characters is left as it is.
    bool mended = true;
    const QString thousand(1000, QChar(u'\u00e9'));
    EXPECT_EQ(IndexCodec::decodeRecord(record('"' + thousand.toUtf8() + '"'), nullptr, &mended)->title, thousand);
    EXPECT_FALSE(mended);
}

TEST(IndexCodec, NewerOrOlderFormsStillLoad)
{
    struct Case {
        const char* what;
        QByteArray extra;
        std::optional<RecordingType> type;
    } cases[] = {
        {"a type this version does not know", R"(,"recordingType":"podcast")", std::nullopt},
        {"a type in another letter case", R"(,"recordingType":"Meeting")", std::nullopt},
        {"a known type", R"(,"recordingType":"oneOnOne")", RecordingType::oneOnOne},
        {"null for every optional", R"(,"transcript":null,"transcriptSegments":null,"enhancedFileName":null,)"
                                    R"("summary":null,"summaryCreatedAt":null,"recordingType":null)",
         std::nullopt},
        {"keys of a newer version", R"(,"speakers":[{"name":"A"}],"rating":5,"tags":{"x":[1,2]})", std::nullopt},
        {"a size written as a whole double", R"(,"fileSizeBytes":1e3)", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto item = IndexCodec::decodeRecord(record(R"("t")", c.extra));
        ASSERT_TRUE(item) << c.what;
        EXPECT_EQ(item->recordingType, c.type) << c.what;
        EXPECT_FALSE(item->transcript) << c.what;
    }
    EXPECT_EQ(IndexCodec::decodeRecord(record(R"("t")", R"(,"fileSizeBytes":1e3)"))->fileSizeBytes, 1000);
}

TEST(IndexCodec, DamagedDocumentsKeepWhatPrecedesTheDamage)
{
    const QByteArray first = IndexCodec::encodeRecord(itemWithText(QStringLiteral("first")));
    const QByteArray second = IndexCodec::encodeRecord(itemWithText(QStringLiteral("second")));
    struct Case {
        const char* what;
        QByteArray text;
        int records; // -1: the text is whole
    } cases[] = {
        {"empty", "", 0},
        {"an object, not an array", "{}", 0},
        {"cut inside the second record", "[" + first + "," + second.left(second.size() / 2), 1},
        {"cut after a comma", "[" + first + ",", 1},
        {"a missing comma", "[" + first + " " + second + "]", 1},
        {"text after the end", "[" + first + "] trailing", 1},
        {"a second array", "[" + first + "][]", 1},
        {"whole, with white space", " \n[ " + first + " ,\t" + second + " ]\n ", -1},
        {"whole and empty", "[ ]", -1},
    };
    for (const Case& c : cases) {
        const IndexCodec::Decoded decoded = IndexCodec::decode(c.text);
        EXPECT_EQ(decoded.damage.has_value(), c.records >= 0) << c.what;
        EXPECT_EQ(decoded.records.size(), c.records >= 0 ? c.records : c.text.count("\"id\"") / 2) << c.what;
        if (!decoded.records.isEmpty()) {
            EXPECT_EQ(decoded.records.first().title, QStringLiteral("first")) << c.what;
        }
    }
}

TEST(IndexCodec, LongWaveformsKeepTheLoudestValueOfEachBar)
{
    // 240 values: each bar of two holds a quiet and a loud one, in either order.
    QList<float> values;
    QList<float> loudest;
    for (int bar = 0; bar < 120; ++bar) {
        const float loud = 0.2f + float(bar) / 200;
        values << (bar % 2 ? loud : 0.1f) << (bar % 2 ? 0.1f : loud);
        loudest << loud;
    }
    RecordingItem item = itemWithText(QStringLiteral("x"));
    item.waveformSamples = values;
    EXPECT_EQ(IndexCodec::decodeRecord(IndexCodec::encodeRecord(item))->waveformSamples, loudest);

    // No longer than the bars drawn: kept as it is.
    for (const int count : {0, 1, 119, 120}) {
        item.waveformSamples = values.mid(0, count);
        EXPECT_EQ(IndexCodec::decodeRecord(IndexCodec::encodeRecord(item))->waveformSamples, values.mid(0, count));
    }
    // 121 values: one bar takes two.
    item.waveformSamples = values.mid(0, 121);
    EXPECT_EQ(IndexCodec::decodeRecord(IndexCodec::encodeRecord(item))->waveformSamples.size(), 120);
}

TEST(IndexCodec, WaveformsOfLargeRecordsReadAsTheDecoderReadsThem)
{
    // Large records read their waveform apart (in pieces on several threads
    // past a few megabytes); the bars must match the reducer over the same values.
    QRandomGenerator random(11);
    for (const int count : {121, 5000, 300000, 2000000}) {
        SCOPED_TRACE(count);
        QByteArray text = "[";
        WaveformReducer reducer{size_t(count)};
        for (int i = 0; i < count; ++i) {
            const double value = i % 97 == 0 ? random.bounded(100000) * 1e-9 : random.generateDouble();
            char number[32];
            const auto end = std::to_chars(number, number + sizeof number, float(value)).ptr;
            text.append(number, end - number);
            text.append(i + 1 < count ? (i % 7 ? "," : " ,\n") : "]");
            double parsed = 0;
            std::from_chars(number, end, parsed);
            reducer.add(float(parsed));
        }
        const QList<float> expected = reducer.take();
        text.reserve(text.size() + 64);
        QString problem;
        const auto bars = WaveformText::read(std::string_view(text.constData(), size_t(text.size())), problem);
        ASSERT_TRUE(bars) << problem.toStdString();
        EXPECT_EQ(*bars, expected);

        RecordingItem item = itemWithText(QStringLiteral("x"));
        const QByteArray recordText = IndexCodec::encodeRecord(item).replace("[0.3,0.15,0.7]", text);
        const auto decoded = IndexCodec::decodeRecord(recordText);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->waveformSamples, expected);
        item.waveformSamples = expected;
        EXPECT_EQ(*decoded, item);
    }
}

TEST(IndexCodec, WaveformTextTakesJsonNumbersOnly)
{
    struct Case {
        const char* array;
        std::optional<QList<float>> bars;
    } cases[] = {
        {"[]", QList<float>{}},
        {" [ ] ", QList<float>{}},
        {"[0,-0,1,0.5,-2.25]", QList<float>{0, -0.0f, 1, 0.5f, -2.25f}},
        {"[1e2,1E-2,2.5e+1,0.000001234,123456789012345678901234]",
         QList<float>{100, 0.01f, 25, 0.000001234f, float(123456789012345678901234.0)}},
        {"[ 0.1 ,\n0.2\t]", QList<float>{0.1f, 0.2f}},
        {"[1,]", std::nullopt},
        {"[,1]", std::nullopt},
        {"[1 2]", std::nullopt},
        {"[\"1\"]", std::nullopt},
        {"[1e999]", std::nullopt},
        {"[0x10]", std::nullopt},
        {"[.5]", std::nullopt},
        {"[5.]", std::nullopt},
        {"[01]", std::nullopt},
        {"[+1]", std::nullopt},
        {"[NaN]", std::nullopt},
        {"[1e]", std::nullopt},
        {"[[1]]", std::nullopt},
    };
    for (const Case& c : cases) {
        QByteArray text(c.array);
        text.reserve(text.size() + 64);
        QString problem;
        const auto bars = WaveformText::read(std::string_view(text.constData(), size_t(text.size())), problem);
        EXPECT_EQ(bars, c.bars) << c.array;
        EXPECT_EQ(problem.isEmpty(), c.bars.has_value()) << c.array;
        // The record decoder agrees on what is a number (and mends the rest).
        bool mended = false;
        const auto item = IndexCodec::decodeRecord(record(R"("t")").replace("[0.5]", text), nullptr, &mended);
        EXPECT_EQ(item.has_value() && !mended, c.bars.has_value()) << c.array;
    }
}
