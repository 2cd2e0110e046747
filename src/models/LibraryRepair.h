#pragma once

#include "models/RecordingItem.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// Brings the entries of the library index in line with the recordings folder:
// takes back captures an earlier run left unfinished, drops entries whose audio
// is gone, keeps one entry per file, prunes short duplicates of a title, and
// adopts or removes MP3 files that no entry describes. It deletes and renames
// files in the folder by design; a file-system failure skips that file.
class LibraryRepair {
public:
    // Seconds of audio in a file; NaN when it cannot be read as audio.
    using DurationReader = std::function<double(const QString& path)>;

    // Whether a capture file (by name) belongs to a recording of this process.
    using CaptureInUse = std::function<bool(const QString& name)>;

    // `readDuration` defaults to reading the MP3 with libmpg123.
    explicit LibraryRepair(QString folder, DurationReader readDuration = {});

    // Captures this process is writing, or has yet to file, are not leftovers:
    // the repair may run while a recording starts.
    void setCaptureInUse(CaptureInUse inUse) { m_captureInUse = std::move(inUse); }

    // Scratch files of edits (see ScratchFileName) last written before this
    // moment, in milliseconds since 1970, belong to a run that ended and are
    // removed; by default the moment this process started.
    void setScratchCutoff(qint64 msecs) { m_scratchCutoff = msecs; }

    // The repaired list, newest first. Runs once per start; every capture file
    // it meets, but those in use, belongs to a run that ended.
    QList<RecordingItem> repair(QList<RecordingItem> indexed);

    // Each indexed record the last repair left out, as it was indexed: its
    // file is gone, empty, not a regular file or outside the folder, another
    // record holds its file, or it is a short duplicate of its title. Their
    // texts are the user's and belong in a side copy before the index is saved.
    const QList<RecordingItem>& removedRecords() const { return m_removed; }

private:
    void removeLeftoverScratch();
    void takeBackCaptures(QList<RecordingItem>& list);
    QStringList adoptionCandidates() const;
    QList<RecordingItem> checkFiles(const QList<RecordingItem>& list);
    QList<RecordingItem> onePerFileName(const QList<RecordingItem>& list);
    QList<RecordingItem> pruneShortDuplicates(const QList<RecordingItem>& list);
    void adoptOrphans(const QStringList& candidates, QList<RecordingItem>& list);

    QStringList listFolder() const;
    QString pathOf(const QString& name) const;
    // The capture under a fresh "Recovered_<8 hex>.mp3" name, or empty.
    QString moveToRecoveredName(const QString& captureName) const;

    struct AudioLength {
        enum Kind { readable, notAudio, unreadable } kind;
        double seconds;
        QString problem; // why it is unreadable
    };
    // A file is "not audio" only when every byte of it was read.
    AudioLength audioLength(const QString& path) const;
    // The file stays on disk but gets no entry; said once per load.
    void keepUnlisted(const QString& name, const QString& why);
    Date creationDate(const QString& path) const;

    QString m_folder;
    DurationReader m_readDuration;
    CaptureInUse m_captureInUse;
    // Files that could not be read, or whose length reads as infinite (no
    // entry can hold it): removing them could lose a recording, so they stay
    // on disk unlisted.
    QSet<QString> m_keptUnlisted;
    QList<RecordingItem> m_removed;
    qint64 m_scratchCutoff;
};
