#include "models/RecordingItemSharing.h"

#include <optional>

namespace {

template <typename Container>
bool sameData(const Container& a, const Container& b)
{
    return a.size() == b.size() && a.constData() == b.constData();
}

template <typename Container>
bool sameData(const std::optional<Container>& a, const std::optional<Container>& b)
{
    return a.has_value() == b.has_value() && (!a || sameData(*a, *b));
}

} // namespace

bool sharesAllData(const RecordingItem& a, const RecordingItem& b)
{
    return a.id == b.id && sameData(a.title, b.title) && sameData(a.fileName, b.fileName)
        && a.createdAt == b.createdAt && a.duration == b.duration && a.fileSizeBytes == b.fileSizeBytes
        && sameData(a.waveformSamples, b.waveformSamples) && sameData(a.transcript, b.transcript)
        && sameData(a.transcriptSegments, b.transcriptSegments) && sameData(a.enhancedFileName, b.enhancedFileName)
        && sameData(a.summary, b.summary) && a.summaryCreatedAt == b.summaryCreatedAt
        && a.recordingType == b.recordingType;
}
