#pragma once

#include "models/RecordingItem.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

class IndexWriter;

// The on-disk library: the "Recordings" folder of MP3 files and the
// "recordings.json" index beside it, inside the app folder. Meant for the main
// thread but for the load; the index itself is written on a writer thread of
// its own.
class RecordingsStorage : public QObject {
    Q_OBJECT
public:
    struct FileLocation {
        QString url; // full path
        QString fileName;
    };

    static RecordingsStorage& shared();

    // A library under `applicationSupportFolder` ("Nimbrel" inside it, taking over
    // "CorvelleEnhanced" when only that exists), exporting to `downloadsFolder`.
    RecordingsStorage(const QString& applicationSupportFolder, const QString& downloadsFolder);
    // Writes a save that still waits before it goes.
    ~RecordingsStorage() override;

    const QString& storageDirectory() const { return m_storageDirectory; }
    const QString& metadataFile() const { return m_metadataFile; }

    QString fileURL(const RecordingItem& item) const;
    std::optional<QString> enhancedFileURL(const RecordingItem& item) const;
    static QString newEnhancedRecordingFileName(const RecordingItem& item);
    FileLocation enhancedDestinationURL(const RecordingItem& item) const;
    // "<sanitized title>_<seconds since 1970>.mp3"; when that file exists, the
    // first free "... (n).mp3" instead, so no recording is ever replaced.
    QString newRecordingFileName(const QString& title) const;
    FileLocation newRecordingFileURL(const QString& title) const;
    // A fresh ".recording_<UUID>.tmp" capture path. Its name stays marked as
    // this process's own, so a load running meanwhile never takes it back.
    QString newTempRecordingFileURL() const;

    struct Loaded {
        QList<RecordingItem> recordings; // newest first
        // What the user should hear about the load, for the status line.
        QStringList messages;
    };
    // Reads the index, brings it in line with the folder (see LibraryRepair),
    // saves the result and returns it, newest first. Captures this process
    // handed out are left alone, so it may run on a worker while a recording
    // starts; nothing else may use the storage meanwhile but to hand out
    // capture paths and file names. Reading never destroys:
    // - a record that does not decode is written to a
    //   "recordings.json.corrupt-<UTC time>" copy and the others load; an index
    //   that is not one whole JSON array, or not a regular file, is moved to
    //   such a name whole and the library is rebuilt from the folder;
    // - a record the repair leaves out, or that loads only mended or with its
    //   title cut, is first written to a "recordings.json.removed-<UTC time>"
    //   copy (see RemovedRecords); when that copy cannot be written the index
    //   is not rewritten;
    // - scratch files of edits from a run that ended are removed;
    // - a repeated id gets a fresh one, so both records and their transcripts stay;
    // - when the recordings folder cannot be read, or holds none of the indexed
    //   recordings, nothing in it is touched and the index is not rewritten:
    //   the entries load as they are.
    Loaded loadLibrary();
    // The same, returning once the repaired index is on disk.
    QList<RecordingItem> loadRecordings();
    // Hands a snapshot of the library to the writer thread and returns at
    // once; a newer snapshot replaces one still waiting. Repeated ids and file
    // names are left out (the first stays). Each write ends in `saveFinished`.
    void save(const QList<RecordingItem>& recordings);
    // Waits until every save handed in is on disk (or failed); false when
    // `limit` passed first.
    bool waitForSaves(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Moves the item's audio files to the user's trash (deletes them where
    // there is none), removes every entry sharing its id or file name, then
    // saves. True when a file went to the trash.
    bool deleteItem(const RecordingItem& item, QList<RecordingItem>& recordings);
    // Copies the audio (or its enhanced copy) to Downloads under a free name,
    // reveals it in the file manager and returns its path. Throws `Error`.
    QString exportToDownloads(const RecordingItem& item, bool preferEnhanced);

    // Characters that cannot stand in file names become "_", the ends are
    // trimmed, and the result is capped at 120 characters and 200 UTF-8 bytes.
    static QString sanitizeFilename(const QString& name);
    // The whole index when every record decodes, else nothing; `error` says why.
    static std::optional<QList<RecordingItem>> decodeIndex(const QByteArray& data, QString* error = nullptr);
    static QByteArray encodeIndex(const QList<RecordingItem>& recordings, bool* sanitised = nullptr);

Q_SIGNALS:
    // After each write of the index, from the writer's thread: empty when it
    // was written, else why the previous index was left in place.
    void saveFinished(const QString& failure);

private:
    bool isOwnCapture(const QString& name) const;
    // To the trash when possible (true), else deleted.
    static bool discardFile(const QString& path);

    QString m_appFolder;
    QString m_storageDirectory;
    QString m_metadataFile;
    QString m_downloadsFolder;
    std::unique_ptr<IndexWriter> m_writer;
    // Capture names handed out by this process; a load may run on another thread.
    mutable std::mutex m_ownCapturesMutex;
    mutable QSet<QString> m_ownCaptures;
};
