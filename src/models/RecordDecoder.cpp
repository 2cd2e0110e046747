#include "models/RecordDecoder.h"

#include "models/JsonScan.h"
#include "models/LenientJsonString.h"
#include "models/UuidText.h"
#include "models/WaveformReducer.h"
#include "models/WaveformText.h"

#include <simdjson.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace ondemand = simdjson::ondemand;

struct RecordDecoder::Parser {
    ondemand::parser parser;
    // A record's segments gather here first, so each list is allocated once,
    // at its size, instead of growing segment by segment.
    std::vector<TranscriptSegment> segments;
};

namespace {

enum Key : unsigned {
    kId = 1u << 0,
    kTitle = 1u << 1,
    kFileName = 1u << 2,
    kCreatedAt = 1u << 3,
    kDuration = 1u << 4,
    kFileSizeBytes = 1u << 5,
    kWaveformSamples = 1u << 6,
    kTranscript = 1u << 7,
    kTranscriptSegments = 1u << 8,
    kEnhancedFileName = 1u << 9,
    kSummary = 1u << 10,
    kSummaryCreatedAt = 1u << 11,
    kRecordingType = 1u << 12,
    kUnknown = 0,
};
constexpr unsigned kRequired = kId | kTitle | kFileName | kCreatedAt | kDuration | kFileSizeBytes | kWaveformSamples;
constexpr unsigned kIdentity = kId | kFileName | kCreatedAt;

struct KeyName {
    std::string_view name;
    Key key;
};
constexpr KeyName kKeys[] = {
    {"id", kId},
    {"title", kTitle},
    {"fileName", kFileName},
    {"createdAt", kCreatedAt},
    {"duration", kDuration},
    {"fileSizeBytes", kFileSizeBytes},
    {"waveformSamples", kWaveformSamples},
    {"transcript", kTranscript},
    {"transcriptSegments", kTranscriptSegments},
    {"enhancedFileName", kEnhancedFileName},
    {"summary", kSummary},
    {"summaryCreatedAt", kSummaryCreatedAt},
    {"recordingType", kRecordingType},
};

Key keyOf(std::string_view name)
{
    for (const KeyName& entry : kKeys) {
        if (entry.name == name)
            return entry.key;
    }
    return kUnknown;
}

QString nameOf(unsigned key)
{
    for (const KeyName& entry : kKeys) {
        if (entry.key == key)
            return QString::fromLatin1(entry.name.data(), qsizetype(entry.name.size()));
    }
    return {};
}

class Reader {
public:
    Reader(std::vector<TranscriptSegment>& gathered, bool lenientValues)
        : lenient(lenientValues)
        , m_gathered(gathered)
    {
    }

    // Mends what can be mended without guessing: a value that cannot be read
    // takes its default, an unreadable waveform value 0, an unreadable
    // transcript segment is left out.
    const bool lenient;
    QString problem;
    // Set when the title was longer than the library keeps.
    bool titleCut = false;

    bool fail(const QString& why)
    {
        if (problem.isEmpty())
            problem = why;
        return false;
    }
    bool fail(std::string_view key, const char* what)
    {
        return fail(QStringLiteral("\"%1\" %2").arg(QLatin1String(key.data(), qsizetype(key.size())), QLatin1String(what)));
    }
    bool fail(simdjson::error_code error) { return fail(QString::fromUtf8(simdjson::error_message(error))); }

    bool isNull(ondemand::value& value)
    {
        ondemand::json_type type;
        return !value.type().get(type) && type == ondemand::json_type::null;
    }

    bool string(ondemand::value& value, std::string_view key, QString& out)
    {
        const std::string_view token = value.raw_json_token();
        std::string_view text;
        const simdjson::error_code error = value.get_string().get(text);
        if (!error) {
            out = QString::fromUtf8(text.data(), qsizetype(text.size()));
            return true;
        }
        if (error == simdjson::STRING_ERROR && !token.empty() && token.front() == '"' && LenientJsonString::read(token, out))
            return true;
        return fail(key, error == simdjson::INCORRECT_TYPE ? "is not a string" : "is not a readable string");
    }

    // A title is kept to its first `RecordDecoder::longestTitle` characters;
    // only the bytes that can hold them are converted, however long it is.
    bool title(ondemand::value& value, std::string_view key, QString& out)
    {
        constexpr size_t enoughBytes = size_t(RecordDecoder::longestTitle) * 4 + 4;
        const std::string_view token = value.raw_json_token();
        std::string_view text;
        const simdjson::error_code error = value.get_string().get(text);
        if (!error)
            out = QString::fromUtf8(text.data(), qsizetype(std::min(text.size(), enoughBytes)));
        else if (!(error == simdjson::STRING_ERROR && !token.empty() && token.front() == '"'
                   && LenientJsonString::read(token, out)))
            return fail(key, error == simdjson::INCORRECT_TYPE ? "is not a string" : "is not a readable string");
        titleCut = RecordDecoder::cutTitle(out);
        return true;
    }

    bool optionalString(ondemand::value& value, std::string_view key, std::optional<QString>& out)
    {
        if (isNull(value)) {
            out.reset();
            return true;
        }
        QString text;
        if (!string(value, key, text))
            return false;
        out = std::move(text);
        return true;
    }

    bool uuid(ondemand::value& value, std::string_view key, QUuid& out)
    {
        std::string_view text;
        if (const simdjson::error_code error = value.get_string().get(text))
            return fail(key, error == simdjson::INCORRECT_TYPE ? "is not a string" : "is not a UUID");
        const auto id = UuidText::parse(text);
        if (!id)
            return fail(key, "is not a UUID");
        out = *id;
        return true;
    }

    bool number(ondemand::value& value, std::string_view key, double& out)
    {
        if (const simdjson::error_code error = value.get_double().get(out))
            return fail(key, error == simdjson::INCORRECT_TYPE ? "is not a number" : "is not a number a double holds");
        return true;
    }

    bool integer(ondemand::value& value, std::string_view key, qint64& out)
    {
        int64_t whole = 0;
        const simdjson::error_code error = value.get_int64().get(whole);
        if (!error) {
            out = whole;
            return true;
        }
        if (error != simdjson::INCORRECT_TYPE)
            return fail(key, "is not an integer");
        // Written as a double ("1e3", "1024.0"): whole and in range is fine.
        double number = 0;
        if (value.get_double().get(number) || number != std::trunc(number) || std::fabs(number) >= 9.2e18)
            return fail(key, "is not an integer");
        out = qint64(number);
        return true;
    }

    bool waveform(ondemand::value& value, QList<float>& out)
    {
        ondemand::array array;
        if (value.get_array().get(array))
            return fail("waveformSamples", "is not an array");
        size_t count = 0;
        if (const simdjson::error_code error = array.count_elements().get(count))
            return fail(error);
        WaveformReducer reducer(count);
        for (auto element : array) {
            if (const simdjson::error_code error = element.error())
                return fail(error);
            double sample = 0;
            if (const simdjson::error_code error = element.get_double().get(sample)) {
                if (!lenient)
                    return fail(error == simdjson::INCORRECT_TYPE ? QStringLiteral("a waveform sample is not a number")
                                                                  : QString::fromUtf8(simdjson::error_message(error)));
                sample = 0; // NaN, 1e999, a string: no height to draw
            }
            reducer.add(float(std::isfinite(sample) ? sample : 0));
        }
        out = reducer.take();
        return true;
    }

    bool segments(ondemand::value& value, std::optional<QList<TranscriptSegment>>& out)
    {
        if (isNull(value)) {
            out.reset();
            return true;
        }
        ondemand::array array;
        if (value.get_array().get(array))
            return fail("transcriptSegments", "is not an array");
        m_gathered.clear();
        for (auto element : array) {
            if (const simdjson::error_code error = element.error())
                return fail(error);
            ondemand::object object;
            if (const simdjson::error_code error = element.get_object().get(object)) {
                if (lenient && error == simdjson::INCORRECT_TYPE)
                    continue;
                return fail(error == simdjson::INCORRECT_TYPE ? QStringLiteral("a transcript segment is not an object")
                                                              : QString::fromUtf8(simdjson::error_message(error)));
            }
            TranscriptSegment segment;
            if (!this->segment(object, segment)) {
                if (lenient) {
                    problem.clear();
                    continue;
                }
                problem = QStringLiteral("a transcript segment: ") + problem;
                return false;
            }
            m_gathered.push_back(std::move(segment));
        }
        QList<TranscriptSegment> list;
        list.reserve(qsizetype(m_gathered.size()));
        for (TranscriptSegment& segment : m_gathered)
            list.append(std::move(segment));
        m_gathered.clear();
        out = std::move(list);
        return true;
    }

    bool segment(ondemand::object& object, TranscriptSegment& out)
    {
        enum : unsigned { id = 1, start = 2, end = 4, text = 8 };
        unsigned seen = 0;
        for (auto result : object) {
            ondemand::field field;
            std::string_view name;
            if (const simdjson::error_code error = std::move(result).get(field))
                return fail(error);
            if (const simdjson::error_code error = field.unescaped_key().get(name))
                return fail(error);
            ondemand::value value = field.value();
            bool ok = true;
            if (name == "id") {
                ok = uuid(value, name, out.id);
                seen |= id;
            } else if (name == "start") {
                ok = number(value, name, out.start);
                seen |= start;
            } else if (name == "end") {
                ok = number(value, name, out.end);
                seen |= end;
            } else if (name == "text") {
                ok = string(value, name, out.text);
                seen |= text;
            }
            if (!ok)
                return false;
        }
        if (seen != (id | start | end | text))
            return fail(QStringLiteral("a transcript segment lacks one of \"id\", \"start\", \"end\", \"text\""));
        return true;
    }

    bool field(ondemand::value& value, std::string_view name, Key key, RecordingItem& item)
    {
        switch (key) {
        case kId:
            return uuid(value, name, item.id);
        case kTitle:
            return title(value, name, item.title);
        case kFileName:
            return string(value, name, item.fileName);
        case kCreatedAt: {
            double seconds = 0;
            if (!number(value, name, seconds))
                return false;
            item.createdAt = Date::fromReferenceSeconds(seconds);
            return true;
        }
        case kDuration:
            return number(value, name, item.duration);
        case kFileSizeBytes:
            return integer(value, name, item.fileSizeBytes);
        case kWaveformSamples:
            return waveform(value, item.waveformSamples);
        case kTranscript:
            return optionalString(value, name, item.transcript);
        case kTranscriptSegments:
            return segments(value, item.transcriptSegments);
        case kEnhancedFileName:
            return optionalString(value, name, item.enhancedFileName);
        case kSummary:
            return optionalString(value, name, item.summary);
        case kSummaryCreatedAt: {
            if (isNull(value)) {
                item.summaryCreatedAt.reset();
                return true;
            }
            double seconds = 0;
            if (!number(value, name, seconds))
                return false;
            item.summaryCreatedAt = Date::fromReferenceSeconds(seconds);
            return true;
        }
        case kRecordingType: {
            std::optional<QString> raw;
            if (!optionalString(value, name, raw))
                return false;
            // A type from a newer version reads as none rather than losing the record.
            item.recordingType = raw ? RecordingTypes::fromRawValue(*raw) : std::nullopt;
            return true;
        }
        case kUnknown:
            return true;
        }
        return true;
    }

private:
    std::vector<TranscriptSegment>& m_gathered;
};

// A field that could not be read takes the value of a record that never had it.
void resetField(unsigned key, RecordingItem& item)
{
    const RecordingItem blank;
    switch (key) {
    case kTitle: item.title = blank.title; break;
    case kDuration: item.duration = blank.duration; break;
    case kFileSizeBytes: item.fileSizeBytes = blank.fileSizeBytes; break;
    case kWaveformSamples: item.waveformSamples = blank.waveformSamples; break;
    case kTranscript: item.transcript.reset(); break;
    case kTranscriptSegments: item.transcriptSegments.reset(); break;
    case kEnhancedFileName: item.enhancedFileName.reset(); break;
    case kSummary: item.summary.reset(); break;
    case kSummaryCreatedAt: item.summaryCreatedAt.reset(); break;
    case kRecordingType: item.recordingType.reset(); break;
    default: break;
    }
}

// Records this large are unusual enough (a normal one is a few tens of
// kilobytes) that their waveform is read apart, see WaveformText.
constexpr size_t kLargeRecord = 1 << 20;

} // namespace

RecordDecoder::RecordDecoder()
    : m_parser(std::make_unique<Parser>())
{
}

RecordDecoder::~RecordDecoder() = default;

size_t RecordDecoder::padding()
{
    return simdjson::SIMDJSON_PADDING;
}

bool RecordDecoder::cutTitle(QString& title)
{
    if (title.size() <= longestTitle)
        return false;
    qsizetype at = 0;
    for (int characters = 0; characters < longestTitle && at < title.size(); ++characters)
        at += title.at(at).isHighSurrogate() && at + 1 < title.size() && title.at(at + 1).isLowSurrogate() ? 2 : 1;
    if (at >= title.size())
        return false;
    title.truncate(at);
    return true;
}

std::optional<RecordingItem> RecordDecoder::decode(std::string_view text, QString& problem, bool* mended)
{
    if (mended)
        *mended = false;
    bool titleCut = false;
    std::optional<RecordingItem> item = decodeWhole(text, text.size() + padding(), false, problem, titleCut);
    if (!item) {
        // Again, mending what can be mended: invalid UTF-8 becomes U+FFFD first.
        std::string valid;
        std::string_view source = text;
        size_t capacity = text.size() + padding();
        if (!simdjson::validate_utf8(text.data(), text.size())) {
            const QByteArray replaced = QString::fromUtf8(text.data(), qsizetype(text.size())).toUtf8();
            valid.reserve(size_t(replaced.size()) + padding());
            valid.assign(replaced.constData(), size_t(replaced.size()));
            source = valid;
            capacity = valid.capacity();
        }
        QString why;
        item = decodeWhole(source, capacity, true, why, titleCut);
        if (!item)
            return std::nullopt; // the first reading's problem stands
        problem.clear();
        if (mended)
            *mended = true;
    }
    if (titleCut && mended)
        *mended = true;
    return item;
}

std::optional<RecordingItem> RecordDecoder::decodeWhole(std::string_view text, size_t capacity, bool lenient,
                                                        QString& problem, bool& titleCut)
{
    if (text.size() >= kLargeRecord) {
        // Only a large waveform is read apart: a record large for its text
        // (a long title) parses as it is, without a copy of the rest.
        const std::optional<JsonScan::Span> waveform = JsonScan::memberValue(text, "\"waveformSamples\"");
        if (waveform && waveform->size >= kLargeRecord / 2) {
            QString waveformProblem;
            auto bars = WaveformText::read(text.substr(waveform->offset, waveform->size), waveformProblem);
            if (!bars && !lenient) {
                problem = waveformProblem;
                return std::nullopt;
            }
            // The rest of the record, with an empty waveform in place.
            std::string rest;
            rest.reserve(text.size() - waveform->size + 2 + padding());
            rest.append(text.substr(0, waveform->offset));
            rest.append("[]");
            rest.append(text.substr(waveform->offset + waveform->size));
            auto item = decodeText(rest, rest.capacity(), lenient, problem, titleCut);
            if (item && bars)
                item->waveformSamples = std::move(*bars);
            return item;
        }
    }
    return decodeText(text, capacity, lenient, problem, titleCut);
}

std::optional<RecordingItem> RecordDecoder::decodeText(std::string_view text, size_t capacity, bool lenient,
                                                       QString& problem, bool& titleCut)
{
    Reader reader(m_parser->segments, lenient);
    auto failed = [&]() -> std::optional<RecordingItem> {
        problem = reader.problem;
        return std::nullopt;
    };
    ondemand::document document;
    if (const simdjson::error_code error =
            m_parser->parser.iterate(text.data(), text.size(), capacity).get(document)) {
        reader.fail(error);
        return failed();
    }
    ondemand::object object;
    if (const simdjson::error_code error = document.get_object().get(object)) {
        reader.fail(error == simdjson::INCORRECT_TYPE ? QStringLiteral("a recording is not an object")
                                                      : QString::fromUtf8(simdjson::error_message(error)));
        return failed();
    }
    RecordingItem item;
    unsigned seen = 0;
    for (auto result : object) {
        ondemand::field field;
        std::string_view name;
        if (const simdjson::error_code error = std::move(result).get(field)) {
            reader.fail(error);
            return failed();
        }
        if (const simdjson::error_code error = field.unescaped_key().get(name)) {
            reader.fail(error);
            return failed();
        }
        const Key key = keyOf(name);
        ondemand::value value = field.value();
        // A required key holding null is as good as missing.
        if ((key & kRequired) && reader.isNull(value))
            continue;
        if (!reader.field(value, name, key, item)) {
            // Without its id, file or date a record cannot be told apart or found.
            if (!lenient || (key & kIdentity))
                return failed();
            reader.problem.clear();
            resetField(key, item);
        }
        seen |= key;
    }
    if (lenient)
        seen |= kRequired & ~kIdentity;
    titleCut = reader.titleCut;
    if ((seen & kRequired) != kRequired) {
        for (unsigned key = 1; key & kRequired; key <<= 1) {
            if (!(seen & key)) {
                reader.fail(QStringLiteral("missing key \"%1\"").arg(nameOf(key)));
                break;
            }
        }
        return failed();
    }
    return item;
}
