#include "models/RecordingItem.h"

#include "models/DateFormatting.h"
#include "models/JsonFields.h"

#include <QJsonArray>

#include <cmath>

namespace {

const QString kId = QStringLiteral("id");
const QString kTitle = QStringLiteral("title");
const QString kFileName = QStringLiteral("fileName");
const QString kCreatedAt = QStringLiteral("createdAt");
const QString kDuration = QStringLiteral("duration");
const QString kFileSizeBytes = QStringLiteral("fileSizeBytes");
const QString kWaveformSamples = QStringLiteral("waveformSamples");
const QString kTranscript = QStringLiteral("transcript");
const QString kTranscriptSegments = QStringLiteral("transcriptSegments");
const QString kEnhancedFileName = QStringLiteral("enhancedFileName");
const QString kSummary = QStringLiteral("summary");
const QString kSummaryCreatedAt = QStringLiteral("summaryCreatedAt");
const QString kRecordingType = QStringLiteral("recordingType");

// Optional string: absent for a missing key or null, an error for another kind.
bool optionalString(const QJsonObject& object, const QString& key, std::optional<QString>& out, QString& error)
{
    if (JsonFields::isAbsent(object, key))
        return true;
    const QJsonValue value = object.value(key);
    if (!value.isString()) {
        error = QStringLiteral("\"%1\" is not a string").arg(key);
        return false;
    }
    out = value.toString();
    return true;
}

} // namespace

RecordingType RecordingItem::effectiveRecordingType() const
{
    return recordingType.value_or(RecordingType::meeting);
}

QString RecordingItem::formattedDuration() const
{
    return DateFormatting::minutesAndSeconds(duration);
}

QString RecordingItem::formattedDate() const
{
    return DateFormatting::relativeDate(createdAt);
}

QJsonObject RecordingItem::toJson(bool* sanitised) const
{
    QJsonObject object;
    object.insert(kId, JsonFields::uuidText(id));
    object.insert(kTitle, title);
    object.insert(kFileName, fileName);
    object.insert(kCreatedAt, JsonFields::finiteOrZero(createdAt.referenceSeconds(), sanitised));
    object.insert(kDuration, JsonFields::finiteOrZero(duration, sanitised));
    object.insert(kFileSizeBytes, fileSizeBytes);
    QJsonArray samples;
    for (float sample : waveformSamples)
        samples.append(JsonFields::shortestFloat(static_cast<float>(JsonFields::finiteOrZero(sample, sanitised))));
    object.insert(kWaveformSamples, samples);
    if (transcript)
        object.insert(kTranscript, *transcript);
    if (transcriptSegments) {
        QJsonArray segments;
        for (const auto& segment : *transcriptSegments)
            segments.append(segment.toJson(sanitised));
        object.insert(kTranscriptSegments, segments);
    }
    if (enhancedFileName)
        object.insert(kEnhancedFileName, *enhancedFileName);
    if (summary)
        object.insert(kSummary, *summary);
    if (summaryCreatedAt)
        object.insert(kSummaryCreatedAt, JsonFields::finiteOrZero(summaryCreatedAt->referenceSeconds(), sanitised));
    if (recordingType)
        object.insert(kRecordingType, RecordingTypes::rawValue(*recordingType));
    return object;
}

std::optional<RecordingItem> RecordingItem::fromJson(const QJsonValue& value, QString* error)
{
    QString problem;
    auto fail = [&]() -> std::optional<RecordingItem> {
        if (error)
            *error = problem;
        return std::nullopt;
    };
    if (!value.isObject()) {
        problem = QStringLiteral("a recording is not an object");
        return fail();
    }
    const QJsonObject object = value.toObject();
    RecordingItem item;

    const auto id = JsonFields::requiredUuid(object, kId, problem);
    if (!id)
        return fail();
    item.id = *id;
    const auto title = JsonFields::requiredString(object, kTitle, problem);
    if (!title)
        return fail();
    item.title = *title;
    const auto fileName = JsonFields::requiredString(object, kFileName, problem);
    if (!fileName)
        return fail();
    item.fileName = *fileName;
    const auto createdAt = JsonFields::requiredNumber(object, kCreatedAt, problem);
    if (!createdAt)
        return fail();
    item.createdAt = Date::fromReferenceSeconds(*createdAt);
    const auto duration = JsonFields::requiredNumber(object, kDuration, problem);
    if (!duration)
        return fail();
    item.duration = *duration;
    const auto size = JsonFields::requiredInteger(object, kFileSizeBytes, problem);
    if (!size)
        return fail();
    item.fileSizeBytes = *size;

    const QJsonValue samples = object.value(kWaveformSamples);
    if (!samples.isArray()) {
        problem = samples.isUndefined() ? QStringLiteral("missing key \"waveformSamples\"")
                                        : QStringLiteral("\"waveformSamples\" is not an array");
        return fail();
    }
    const QJsonArray sampleArray = samples.toArray();
    item.waveformSamples.reserve(sampleArray.size());
    for (const QJsonValue& sample : sampleArray) {
        if (!sample.isDouble()) {
            problem = QStringLiteral("a waveform sample is not a number");
            return fail();
        }
        item.waveformSamples.append(static_cast<float>(sample.toDouble()));
    }

    if (!optionalString(object, kTranscript, item.transcript, problem))
        return fail();
    if (!JsonFields::isAbsent(object, kTranscriptSegments)) {
        const QJsonValue segments = object.value(kTranscriptSegments);
        if (!segments.isArray()) {
            problem = QStringLiteral("\"transcriptSegments\" is not an array");
            return fail();
        }
        QList<TranscriptSegment> list;
        const QJsonArray segmentArray = segments.toArray();
        list.reserve(segmentArray.size());
        for (const QJsonValue& segmentValue : segmentArray) {
            auto segment = TranscriptSegment::fromJson(segmentValue, &problem);
            if (!segment)
                return fail();
            list.append(std::move(*segment));
        }
        item.transcriptSegments = std::move(list);
    }
    if (!optionalString(object, kEnhancedFileName, item.enhancedFileName, problem))
        return fail();
    if (!optionalString(object, kSummary, item.summary, problem))
        return fail();
    if (!JsonFields::isAbsent(object, kSummaryCreatedAt)) {
        const QJsonValue date = object.value(kSummaryCreatedAt);
        if (!date.isDouble()) {
            problem = QStringLiteral("\"summaryCreatedAt\" is not a number");
            return fail();
        }
        item.summaryCreatedAt = Date::fromReferenceSeconds(date.toDouble());
    }
    if (!JsonFields::isAbsent(object, kRecordingType)) {
        const QJsonValue type = object.value(kRecordingType);
        const auto parsed = type.isString() ? RecordingTypes::fromRawValue(type.toString()) : std::nullopt;
        if (!parsed) {
            problem = QStringLiteral("unknown \"recordingType\"");
            return fail();
        }
        item.recordingType = *parsed;
    }
    return item;
}
