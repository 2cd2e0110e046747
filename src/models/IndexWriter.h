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
    // The caller changes its list again soon, and a list still shared with
    // the snapshot would then be copied whole on the caller's thread: a
    // worker makes the writer's own copy at once and lets go of the shared one.
    void submit(QList<RecordingItem> snapshot);
    // Waits until nothing waits or is being written; false when `limit` passed first.
    bool waitUntilWritten(std::chrono::milliseconds limit);

    // Leaves out repeated ids and file names (the first stays), encodes and
    // replaces the index atomically (temporary file, sync, rename). Returns
    // empty on success, else why the previous index was left as it was.
    static QString write(const QString& path, const QList<RecordingItem>& recordings);

private:
    void queue(quint64 order, QList<RecordingItem> snapshot);
    void writePending();

    QString m_path;
    Report m_report;
    std::mutex m_mutex;
    std::condition_variable m_written;
    std::optional<QList<RecordingItem>> m_pending;
    bool m_writing = false;
    int m_copying = 0;        // snapshots a worker is still copying
    quint64 m_submitted = 0;  // the order of the snapshots handed in
    quint64 m_queued = 0;     // the newest one that waits or was written
    // Last: destroyed first, while the members its work uses still live.
    SerialQueue m_queue;
};
