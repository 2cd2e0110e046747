#include "viewmodels/LibrarySearch.h"

#include "common/TextSearch.h"

#include <algorithm>
#include <vector>

bool LibrarySearch::segmentsLieInTranscript(const RecordingItem& item)
{
    if (!item.transcriptSegments || item.transcriptSegments->isEmpty())
        return true;
    if (!item.transcript)
        return false;
    const QStringView transcript(*item.transcript);
    qsizetype at = 0;
    for (const TranscriptSegment& segment : *item.transcriptSegments) {
        // Usually right where the last one ended, or one space further on.
        qsizetype found = -1;
        if (transcript.sliced(at).startsWith(segment.text))
            found = at;
        else if (at < transcript.size() && transcript.sliced(at + 1).startsWith(segment.text))
            found = at + 1;
        else
            found = transcript.indexOf(segment.text, at);
        if (found < 0)
            return false;
        at = found + segment.text.size();
    }
    return true;
}

LibrarySearch::Covered LibrarySearch::storageOf(const RecordingItem& item)
{
    Covered storage;
    if (item.transcript) {
        storage.transcript = item.transcript->constData();
        storage.transcriptSize = item.transcript->size();
    }
    if (item.transcriptSegments) {
        storage.segments = item.transcriptSegments->constData();
        storage.segmentCount = item.transcriptSegments->size();
    }
    return storage;
}

bool LibrarySearch::sameStorage(const Covered& a, const Covered& b)
{
    return a.transcript == b.transcript && a.transcriptSize == b.transcriptSize && a.segments == b.segments
        && a.segmentCount == b.segmentCount;
}

QList<RecordingItem> LibrarySearch::filter(const QList<RecordingItem>& recordings, const QString& query)
{
    // Recordings that left the library leave the kept answers too.
    if (m_covered.size() > recordings.size() + 64)
        m_covered.clear();
    // Kept by the texts' own storage: an edited transcript or new segments are
    // new data, and are looked at again when a search needs to know.
    constexpr signed char unknown = -1;
    std::vector<signed char> covers(static_cast<size_t>(recordings.size()), unknown);
    for (qsizetype i = 0; i < recordings.size(); ++i) {
        const RecordingItem& item = recordings.at(i);
        const auto kept = m_covered.constFind(item.id);
        if (kept != m_covered.cend() && sameStorage(*kept, storageOf(item)))
            covers[static_cast<size_t>(i)] = kept->covered ? 1 : 0;
    }
    std::vector<signed char> learnt(static_cast<size_t>(recordings.size()), unknown);

    const auto holds = [&query](const QString& text) { return TextSearch::containsIgnoringCase(text, query); };
    const std::vector<char> matches = TextSearch::testEach(recordings.size(), [&](qsizetype i) {
        const RecordingItem& item = recordings.at(i);
        if (holds(item.title) || (item.transcript && holds(*item.transcript)))
            return true;
        if (!item.transcriptSegments)
            return false;
        // Only a recording whose transcript lacks the query needs its segments.
        signed char covered = covers[static_cast<size_t>(i)];
        if (covered == unknown) {
            covered = segmentsLieInTranscript(item) ? 1 : 0;
            learnt[static_cast<size_t>(i)] = covered;
        }
        if (covered)
            return false;
        return std::any_of(item.transcriptSegments->cbegin(), item.transcriptSegments->cend(),
                           [&](const TranscriptSegment& segment) { return holds(segment.text); });
    });

    qsizetype matched = 0;
    for (qsizetype i = 0; i < recordings.size(); ++i) {
        if (learnt[static_cast<size_t>(i)] != unknown) {
            const RecordingItem& item = recordings.at(i);
            Covered storage = storageOf(item);
            storage.covered = learnt[static_cast<size_t>(i)] == 1;
            m_covered.insert(item.id, storage);
        }
        matched += matches[static_cast<size_t>(i)] ? 1 : 0;
    }
    // A query every recording holds (a first letter) keeps the library's own list.
    if (matched == recordings.size())
        return recordings;
    QList<RecordingItem> kept;
    kept.reserve(matched);
    for (qsizetype i = 0; i < recordings.size(); ++i) {
        if (matches[static_cast<size_t>(i)])
            kept.append(recordings.at(i));
    }
    return kept;
}
