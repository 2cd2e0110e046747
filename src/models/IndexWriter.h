#pragma once

#include "common/SerialQueue.h"
#include "models/RecordingItem.h"

#include <QList>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

// Writes the library index on a thread of its own, so no change to the
// library waits for an encode, a write and a sync. A snapshot handed in while
// an earlier one still waits replaces it: the latest state always lands and
// none is written twice.
class IndexWriter {
public:
    // Called on the writer's thread after each write: empty when the index was
    // written, else why it was not.
    using Report = std::function<void(const QString& failure)>;

    IndexWriter(QString path, Report report);
    // Writes what still waits before the thread ends.
    ~IndexWriter();

    IndexWriter(const IndexWriter&) = delete;
    IndexWriter& operator=(const IndexWriter&) = delete;

    // Copying a QList shares its data, so handing in the library is cheap.
    void submit(QList<RecordingItem> snapshot);
    // Waits until nothing waits or is being written; false when `limit` passed first.
    bool waitUntilWritten(std::chrono::milliseconds limit);

    // Leaves out repeated ids and file names (the first stays), encodes and
    // replaces the index atomically (temporary file, sync, rename). Returns
    // empty on success, else why the previous index was left as it was.
    static QString write(const QString& path, const QList<RecordingItem>& recordings);

private:
    void writePending();

    QString m_path;
    Report m_report;
    std::mutex m_mutex;
    std::condition_variable m_written;
    std::optional<QList<RecordingItem>> m_pending;
    bool m_writing = false;
    // Last: destroyed first, while the members its work uses still live.
    SerialQueue m_queue;
};
