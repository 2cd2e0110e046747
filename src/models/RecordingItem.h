#pragma once

#include "common/Date.h"
#include "models/RecordingType.h"
#include "models/TranscriptSegment.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// One recording of the library, as stored in its index.
struct RecordingItem {
    QUuid id;
    QString title;
    QString fileName; // a bare name inside the library's recordings folder
    Date createdAt;
    double duration = 0; // seconds
    qint64 fileSizeBytes = 0;
    QList<float> waveformSamples;
    std::optional<QString> transcript;
    std::optional<QList<TranscriptSegment>> transcriptSegments;
    std::optional<QString> enhancedFileName;
    std::optional<QString> summary;
    std::optional<Date> summaryCreatedAt;
    std::optional<RecordingType> recordingType;

    // Records made before types existed count as meetings.
    RecordingType effectiveRecordingType() const;
    // "%d:%02d" minutes and seconds, rounded to the nearest second.
    QString formattedDuration() const;
    // "Today 14:05", "Yesterday 09:12", or a medium date with a short time.
    QString formattedDate() const;

    // Its JSON form is IndexCodec's.
    friend bool operator==(const RecordingItem&, const RecordingItem&) = default;
};

// Identity alone: records with the same id hash alike whatever else differs.
inline size_t qHash(const RecordingItem& item, size_t seed = 0) noexcept
{
    return qHash(item.id, seed);
}
