#include "models/IndexCodec.h"
#include "models/RecordingItem.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <gtest/gtest.h>

namespace {

RecordingItem plainItem()
{
    return RecordingItem{QUuid::fromString(QStringLiteral("6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10")),
                         QStringLiteral("Weekly sync"),
                         QStringLiteral("Weekly sync_1700000000.mp3"),
                         Date::fromReferenceSeconds(721692800.25),
                         65.4,
                         1572864,
                         {0.3f, 0.15f, 0.7f}};
}

RecordingItem fullItem()
{
    RecordingItem item = plainItem();
    item.transcript = QStringLiteral("Hello there.");
    item.transcriptSegments = QList<TranscriptSegment>{
        {QUuid::createUuid(), 0.0, 1.5, QStringLiteral("Hello")},
        {QUuid::createUuid(), 1.5, 2.25, QStringLiteral("there.")}};
    item.enhancedFileName = QStringLiteral("Weekly sync_1700000000_enhanced.mp3");
    item.summary = QStringLiteral("# 📋 Recap\n- one");
    item.summaryCreatedAt = Date::fromReferenceSeconds(721693000.5);
    item.recordingType = RecordingType::oneOnOne;
    return item;
}

QJsonObject parse(const QByteArray& json)
{
    return QJsonDocument::fromJson(json).object();
}

QByteArray text(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

TEST(RecordingItem, AbsentOptionalsLeaveOnlyTheSevenRequiredKeys)
{
    const RecordingItem item = plainItem();
    const QByteArray encoded = IndexCodec::encodeRecord(item);
    const QJsonObject json = parse(encoded);
    QStringList keys = json.keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"createdAt", "duration", "fileName", "fileSizeBytes", "id", "title",
                                 "waveformSamples"}));
    EXPECT_EQ(json.value("id").toString(), QStringLiteral("6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10"));
    EXPECT_DOUBLE_EQ(json.value("createdAt").toDouble(), 721692800.25);
    EXPECT_EQ(IndexCodec::decodeRecord(encoded), item);
}

TEST(RecordingItem, FullRecordRoundTripsThroughTheIndexText)
{
    const RecordingItem item = fullItem();
    const QByteArray text = IndexCodec::encodeRecord(item);
    // Floats are written in their shortest form, not as widened doubles.
    EXPECT_TRUE(text.contains("[0.3,0.15,0.7]")) << text.toStdString();
    EXPECT_TRUE(text.contains("\"recordingType\":\"oneOnOne\""));
    // Segment keys in their own order, not sorted.
    EXPECT_TRUE(text.contains(R"({"id":")") && text.contains(R"(","start":0,"end":1.5,"text":"Hello"})"))
        << text.toStdString();
    const auto decoded = IndexCodec::decodeRecord(text);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, item);
}

TEST(RecordingItem, MissingTypeCountsAsMeetingAndStaysAbsent)
{
    RecordingItem item = plainItem();
    EXPECT_EQ(item.effectiveRecordingType(), RecordingType::meeting);
    EXPECT_FALSE(IndexCodec::encodeRecord(item).contains("recordingType"));
}

TEST(RecordingItem, DecodingTable)
{
    const char* base = R"({"id":"6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10","title":"T","fileName":"T_1.mp3",
        "createdAt":1.5,"duration":2,"fileSizeBytes":10,"waveformSamples":[0.5])";
    // A type this version does not know (a newer version's) reads as none,
    // so its recording is never lost; a value of the wrong kind is mended to
    // its default, and the record's original goes to a side copy.
    struct Case {
        const char* tail;
        bool asWritten;
    } cases[] = {
        {"}", true},
        {R"(,"unknownKey":{"x":1}})", true},
        {R"(,"summary":null,"transcript":null})", true},
        {R"(,"recordingType":"quickNote"})", true},
        {R"(,"recordingType":"standup"})", true},
        {R"(,"recordingType":"Meeting"})", true},
        {R"(,"recordingType":3})", false},
        {R"(,"transcriptSegments":[{"id":"6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C11","start":0,"end":1}]})", false},
        {R"(,"summaryCreatedAt":"yesterday"})", false},
        {R"(,"duration":1e999})", false},
    };
    for (const auto& c : cases) {
        bool mended = false;
        const auto decoded = IndexCodec::decodeRecord(QByteArray(base) + c.tail, nullptr, &mended);
        ASSERT_TRUE(decoded) << c.tail;
        EXPECT_EQ(!mended, c.asWritten) << c.tail;
        if (decoded && QByteArray(c.tail).contains("recordingType")) {
            EXPECT_EQ(decoded->recordingType.has_value(), QByteArray(c.tail).contains("quickNote")) << c.tail;
        }
    }

    const auto withNullSummary = IndexCodec::decodeRecord(QByteArray(base) + R"(,"summary":null})");
    ASSERT_TRUE(withNullSummary);
    EXPECT_FALSE(withNullSummary->summary.has_value());

    // Required keys, wrong kinds and malformed ids: only a record without its
    // id, file name or date is set aside; the others load mended.
    const QJsonObject good = parse(QByteArray(base) + "}");
    for (const char* key : {"id", "title", "fileName", "createdAt", "duration", "fileSizeBytes", "waveformSamples"}) {
        const bool identity = QByteArray(key) == "id" || QByteArray(key) == "fileName" || QByteArray(key) == "createdAt";
        QJsonObject missing = good;
        missing.remove(QLatin1String(key));
        bool mended = false;
        EXPECT_EQ(IndexCodec::decodeRecord(text(missing), nullptr, &mended).has_value(), !identity) << "without " << key;
        EXPECT_EQ(mended, !identity) << "without " << key;
        missing.insert(QLatin1String(key), QJsonValue::Null);
        EXPECT_EQ(IndexCodec::decodeRecord(text(missing)).has_value(), !identity) << key << " null";
    }
    for (const auto& [key, value] : std::initializer_list<std::pair<const char*, QJsonValue>>{
             {"id", QStringLiteral("not-a-uuid")},
             {"id", QStringLiteral("{6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10}")},
             {"fileSizeBytes", 12.5},
             {"fileSizeBytes", QStringLiteral("10")},
             {"duration", QStringLiteral("2")},
             {"title", 5}}) {
        QJsonObject wrong = good;
        wrong.insert(QLatin1String(key), value);
        bool mended = false;
        EXPECT_EQ(IndexCodec::decodeRecord(text(wrong), nullptr, &mended).has_value(), QByteArray(key) != "id") << key;
        EXPECT_EQ(mended, QByteArray(key) != "id") << key;
    }
}

TEST(RecordingItem, EqualityComparesEveryFieldButHashingOnlyTheId)
{
    const RecordingItem a = fullItem();
    RecordingItem b = a;
    EXPECT_EQ(a, b);
    b.title = QStringLiteral("Another title");
    EXPECT_NE(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
    QSet<RecordingItem> set{a, b};
    EXPECT_EQ(set.size(), 2); // unequal values with the same id both stay

    RecordingItem c = a;
    c.summary.reset();
    EXPECT_NE(a, c);
    c = a;
    c.summaryCreatedAt = Date::fromReferenceSeconds(c.summaryCreatedAt->referenceSeconds() + 1e-6);
    EXPECT_NE(a, c);
}

TEST(RecordingType, TableAndRawValues)
{
    struct Row {
        RecordingType type;
        const char* raw;
        const char* name;
        const char* icon;
        const char* description;
    } rows[] = {
        {RecordingType::meeting, "meeting", "Meeting", "person.3.fill",
         "Executive summary, key takeaways, agreed decisions, and next action items."},
        {RecordingType::brainstorming, "brainstorming", "Brainstorming", "lightbulb.fill",
         "Core concept, emerging ideas, critical trade-offs, and validated next experiments."},
        {RecordingType::interview, "interview", "Interview", "mic.and.signal.meter.fill",
         "Subject profile, key topics, notable quotes, and follow-up inquiries."},
        {RecordingType::oneOnOne, "oneOnOne", "1-on-1 Sync", "person.2.fill",
         "Check-in context, mutual feedback, blockers, and agreed commitments."},
        {RecordingType::lecture, "lecture", "Lecture", "book.fill",
         "Central thesis, key principles, definitions, case studies, and reference notes."},
        {RecordingType::quickNote, "quickNote", "Voice Note", "note.text",
         "Core thoughts, contextual reflections, and immediate reminders."},
    };
    ASSERT_EQ(RecordingTypes::allCases().size(), 6);
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].raw);
        EXPECT_EQ(RecordingTypes::allCases()[int(i)], rows[i].type);
        EXPECT_EQ(RecordingTypes::rawValue(rows[i].type), QLatin1String(rows[i].raw));
        EXPECT_EQ(RecordingTypes::id(rows[i].type), QLatin1String(rows[i].raw));
        EXPECT_EQ(RecordingTypes::displayName(rows[i].type), QLatin1String(rows[i].name));
        EXPECT_EQ(RecordingTypes::systemIcon(rows[i].type), QLatin1String(rows[i].icon));
        EXPECT_EQ(RecordingTypes::fromRawValue(QLatin1String(rows[i].raw)), rows[i].type);
        EXPECT_EQ(RecordingTypes::description(rows[i].type), QLatin1String(rows[i].description));
    }
    EXPECT_FALSE(RecordingTypes::fromRawValue(QStringLiteral("Meeting")));
    EXPECT_FALSE(RecordingTypes::fromRawValue(QString()));
}
