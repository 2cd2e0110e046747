#include "models/IndexWriter.h"

#include "common/ConsoleLine.h"
#include "models/IndexCodec.h"

#include <QSaveFile>
#include <QThreadPool>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

IndexWriter::IndexWriter(QString path, Report report)
    : m_path(std::move(path))
    , m_report(std::move(report))
    , m_queue(QStringLiteral("com.tarvell.nimbrel.libraryindex"), SerialQueue::Priority::Utility)
{
}

IndexWriter::~IndexWriter()
{
    std::unique_lock lock(m_mutex);
    m_written.wait(lock, [this] { return m_copying == 0; });
}

void IndexWriter::submit(QList<RecordingItem> snapshot)
{
    quint64 order = 0;
    {
        std::lock_guard lock(m_mutex);
        order = ++m_submitted;
        ++m_copying;
    }
    QThreadPool::globalInstance()->start([this, order, shared = std::move(snapshot)]() mutable {
        QList<RecordingItem> own = shared;
        own.detach();
        shared = {};
        queue(order, std::move(own));
    });
}

void IndexWriter::queue(quint64 order, QList<RecordingItem> snapshot)
{
    std::lock_guard lock(m_mutex);
    // Copies can finish out of order: an older one never replaces a newer.
    std::optional<QList<RecordingItem>> replaced = std::move(snapshot);
    if (order > m_queued) {
        m_queued = order;
        const bool scheduled = m_pending.has_value();
        m_pending.swap(replaced);
        if (!scheduled)
            m_queue.post([this] { writePending(); });
    }
    // Often the last copy of thousands of recordings: let go of it on the writer's thread.
    if (replaced)
        m_queue.post([released = std::move(*replaced)] {});
    // Last: the destructor waits for this, under the same lock.
    --m_copying;
    m_written.notify_all();
}

bool IndexWriter::waitUntilWritten(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    return m_written.wait_for(lock, limit, [this] { return m_copying == 0 && !m_pending && !m_writing; });
}

void IndexWriter::writePending()
{
    QList<RecordingItem> snapshot;
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending)
            return;
        snapshot = std::move(*m_pending);
        m_pending.reset();
        m_writing = true;
    }
    const QString failure = write(m_path, snapshot);
    snapshot = {};
    if (m_report)
        m_report(failure);
    {
        std::lock_guard lock(m_mutex);
        m_writing = false;
    }
    m_written.notify_all();
}

QString IndexWriter::write(const QString& path, const QList<RecordingItem>& recordings)
{
    QSet<QUuid> ids;
    QSet<QString> fileNames;
    QList<RecordingItem> kept;
    kept.reserve(recordings.size());
    for (const RecordingItem& item : recordings) {
        if (ids.contains(item.id) || fileNames.contains(item.fileName))
            continue;
        ids.insert(item.id);
        fileNames.insert(item.fileName);
        kept.append(item);
    }

    QSaveFile file(path);
    // Qt leaves some failures (a rename refused, say) as "Unknown error"; the
    // system's own reason says more.
    const auto reasonOf = [&file](int error) {
        const QString qtReason = file.errorString();
        if (error != 0 && (qtReason.isEmpty() || qtReason == QLatin1String("Unknown error")))
            return QString::fromLocal8Bit(std::strerror(error));
        return qtReason;
    };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return reasonOf(errno);
    bool sanitised = false;
    const bool encoded = IndexCodec::encode(
        kept, [&file](const char* data, size_t size) { return file.write(data, qint64(size)) == qint64(size); },
        &sanitised);
    if (sanitised) {
        ConsoleLine::print(QStringLiteral("[RecordingsStorage] numbers that are not finite were saved as 0"));
    }
    QString reason;
    errno = 0;
    if (!encoded || !file.flush())
        reason = reasonOf(errno);
    else if (::fsync(file.handle()) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (errno = 0; !file.commit())
        reason = reasonOf(errno);
    if (!reason.isEmpty())
        file.cancelWriting();
    return reason;
}
