#pragma once

#include "common/SearchMemory.h"
#include "models/RecordingItem.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

// The library filtered by the sidebar's search: a recording stays when its
// title, its transcript or one of its segment texts holds the query, ignoring
// case. The whole library is read on every keystroke, so the recordings are
// tested in parallel, and the segments are skipped where the transcript is
// their own text joined (then every segment is part of the transcript, and a
// transcript without the query has no segment with it). What a recording's
// transcript covers is worked out ahead or the first time a search needs it
// and kept; what a transcript lacks is kept in the shared SearchMemory, so
// typing on or deleting reads no transcript to its end twice.
class LibrarySearch {
public:
    // `query` already trimmed and not empty.
    QList<RecordingItem> filter(const QList<RecordingItem>& recordings, const QString& query);

    // Whether every segment text of `item` lies in its transcript, one after the other.
    static bool segmentsLieInTranscript(const RecordingItem& item);

    // What the first searches would otherwise read every transcript for,
    // worked out ahead: off the GUI thread by `prepare`, then taken in by
    // `adopt` on it for the recordings whose texts are still the same.
    struct Prepared;
    static Prepared prepare(const QList<RecordingItem>& recordings);
    void adopt(Prepared prepared);

private:
    struct Covered {
        const QChar* transcript = nullptr;
        qsizetype transcriptSize = 0;
        const TranscriptSegment* segments = nullptr;
        qsizetype segmentCount = 0;
        bool covered = false;
    };
    static Covered storageOf(const RecordingItem& item);
    static bool sameStorage(const Covered& a, const Covered& b);

    QHash<QUuid, Covered> m_covered;
    // The last search's answer, for the next keystroke.
    std::vector<char> m_lastMatches;
    QList<RecordingItem> m_lastKept;
};

struct LibrarySearch::Prepared {
    QHash<QUuid, Covered> covered;
    SearchMemory memory; // the features of each transcript
};
