#include "viewmodels/LibrarySearch.h"

#include "common/SearchMemory.h"
#include "common/TextSearch.h"
#include "models/RecordingItemSharing.h"

#include <QThreadPool>

#include <algorithm>
#include <optional>
#include <utility>
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

LibrarySearch::Prepared LibrarySearch::prepare(const QList<RecordingItem>& recordings)
{
    Prepared prepared;
    prepared.covered.reserve(recordings.size());
    for (const RecordingItem& item : recordings) {
        Covered storage = storageOf(item);
        storage.covered = segmentsLieInTranscript(item);
        prepared.covered.insert(item.id, storage);
        if (item.transcript)
            prepared.memory.learnFeatures(*item.transcript, SearchMemory::featuresOf(*item.transcript));
    }
    return prepared;
}

void LibrarySearch::adopt(Prepared prepared)
{
    // Entries are checked against the texts' storage when used, so what
    // changed meanwhile is never taken for the same.
    if (m_covered.isEmpty()) {
        m_covered = std::move(prepared.covered);
    } else {
        for (auto it = prepared.covered.cbegin(); it != prepared.covered.cend(); ++it) {
            if (!m_covered.contains(it.key()))
                m_covered.insert(it.key(), it.value());
        }
    }
    SearchMemory::shared().adopt(std::move(prepared.memory));
}

QList<RecordingItem> LibrarySearch::filter(const QList<RecordingItem>& recordings, const QString& query)
{
    SearchMemory& memory = SearchMemory::shared();
    // Recordings that left the library leave the kept answers too.
    if (m_covered.size() > recordings.size() + 64)
        m_covered.clear();
    if (memory.size() > recordings.size() + 64)
        memory.clear();
    const auto holds = [&query](const QString& text) { return TextSearch::containsIgnoringCase(text, query); };

    // Kept by the texts' own storage: an edited transcript or new segments
    // are new data, and are looked at again when a search needs to know.
    constexpr signed char unknown = -1;
    std::vector<signed char> covers(static_cast<size_t>(recordings.size()), unknown);
    for (qsizetype i = 0; i < recordings.size(); ++i) {
        const RecordingItem& item = recordings.at(i);
        if (!item.transcriptSegments)
            continue;
        const auto kept = m_covered.constFind(item.id);
        if (kept != m_covered.cend() && sameStorage(*kept, storageOf(item)))
            covers[static_cast<size_t>(i)] = kept->covered ? 1 : 0;
    }
    std::vector<signed char> learnt(static_cast<size_t>(recordings.size()), unknown);
    // Transcripts read to their end without the query, for the memory.
    std::vector<char> lacking(static_cast<size_t>(recordings.size()), 0);

    const std::vector<char> matches = TextSearch::testEach(recordings.size(), [&](qsizetype i) {
        const RecordingItem& item = recordings.at(i);
        if (holds(item.title))
            return true;
        if (item.transcript) {
            if (memory.recall(*item.transcript, query) == SearchMemory::Answer::unknown) {
                if (holds(*item.transcript))
                    return true;
                lacking[static_cast<size_t>(i)] = 1;
            }
        }
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
        const RecordingItem& item = recordings.at(i);
        if (learnt[static_cast<size_t>(i)] != unknown) {
            Covered storage = storageOf(item);
            storage.covered = learnt[static_cast<size_t>(i)] == 1;
            m_covered.insert(item.id, storage);
        }
        if (lacking[static_cast<size_t>(i)])
            memory.learnLacks(*item.transcript, query);
        matched += matches[static_cast<size_t>(i)] ? 1 : 0;
    }
    // A query every recording holds (a first letter) keeps the library's own list.
    if (matched == recordings.size())
        return recordings;
    // As the user types on, the same recordings often stay: the list of the
    // last search serves again while its recordings are the library's own.
    if (matches == m_lastMatches && m_lastKept.size() == matched) {
        bool same = true;
        qsizetype k = 0;
        for (qsizetype i = 0; same && i < recordings.size(); ++i) {
            if (matches[static_cast<size_t>(i)])
                same = sharesAllData(m_lastKept.at(k++), recordings.at(i));
        }
        if (same)
            return m_lastKept;
    }
    QList<RecordingItem> kept;
    kept.reserve(matched);
    for (qsizetype i = 0; i < recordings.size(); ++i) {
        if (matches[static_cast<size_t>(i)])
            kept.append(recordings.at(i));
    }
    m_lastMatches = matches;
    // Letting go of thousands of recordings costs milliseconds: a worker does it.
    QThreadPool::globalInstance()->start([replaced = std::exchange(m_lastKept, kept)] {});
    return kept;
}
