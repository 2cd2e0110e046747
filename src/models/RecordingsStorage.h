#pragma once

#include "models/RecordingItem.h"

#include <QList>
#include <QString>

#include <optional>

// The on-disk library: the "Recordings" folder of MP3 files and the
// "recordings.json" index beside it, inside the app folder. All operations are
// synchronous and meant for the main thread.
class RecordingsStorage {
public:
    struct FileLocation {
        QString url; // full path
        QString fileName;
    };

    static RecordingsStorage& shared();

    // A library under `applicationSupportFolder` ("Nimbrel" inside it, taking over
    // "CorvelleEnhanced" when only that exists), exporting to `downloadsFolder`.
    RecordingsStorage(const QString& applicationSupportFolder, const QString& downloadsFolder);

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
    QString newTempRecordingFileURL() const;

    // Reads the index, brings it in line with the folder (see LibraryRepair),
    // saves the result and returns it, newest first. An index that exists but
    // does not read or decode is first moved aside as
    // "recordings.json.corrupt-<UTC time>", so the rebuilt list never replaces it.
    QList<RecordingItem> loadRecordings();
    // Writes the index atomically, leaving out repeated ids and file names.
    // Failures leave the previous index in place and are only logged.
    void save(const QList<RecordingItem>& recordings);
    // Removes the item's audio files and every entry sharing its id or file name,
    // then saves.
    void deleteItem(const RecordingItem& item, QList<RecordingItem>& recordings);
    // Copies the audio (or its enhanced copy) to Downloads under a free name,
    // reveals it in the file manager and returns its path. Throws `Error`.
    QString exportToDownloads(const RecordingItem& item, bool preferEnhanced);

    // Characters that cannot stand in file names become "_", the ends are
    // trimmed, and the result is capped at 120 characters and 200 UTF-8 bytes.
    static QString sanitizeFilename(const QString& name);
    // The encoded index, or nothing when it does not decode; `error` says why.
    static std::optional<QList<RecordingItem>> decodeIndex(const QByteArray& data, QString* error = nullptr);
    static QByteArray encodeIndex(const QList<RecordingItem>& recordings, bool* sanitised = nullptr);

private:
    // The decoded index, or an empty list; `mayReplace` is cleared when an
    // undecodable index could not be moved aside.
    QList<RecordingItem> readIndex(bool& mayReplace) const;
    // The set-aside copy's name, or empty when the move failed.
    QString setAsideIndex() const;

    QString m_appFolder;
    QString m_storageDirectory;
    QString m_metadataFile;
    QString m_downloadsFolder;
};
