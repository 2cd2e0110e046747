#include "viewmodels/StartupRepairWorker.h"

#include "common/SerialQueue.h"
#include "viewmodels/RepairRules.h"
#include "viewmodels/WaveformExtractor.h"

#include <QDir>
#include <QMetaObject>

StartupRepairWorker::StartupRepairWorker(QObject* receiver, Handlers handlers)
    : m_receiver(receiver)
    , m_handlers(std::move(handlers))
    , m_cancelled(std::make_shared<std::atomic_bool>(false))
{
}

StartupRepairWorker::~StartupRepairWorker()
{
    m_cancelled->store(true);
    // Joins the thread; what it still had queued sees the flag and returns.
    m_queue.reset();
}

void StartupRepairWorker::start(const QList<RecordingItem>& recordings, const QString& storageDirectory)
{
    if (!m_queue)
        m_queue = std::make_unique<SerialQueue>(QStringLiteral("com.tarvell.nimbrel.repair"),
                                                SerialQueue::Priority::Utility);
    m_queue->post([this, recordings, storageDirectory] { run(recordings, storageDirectory); });
}

void StartupRepairWorker::deliver(std::function<void()> work)
{
    // The flag is checked again on arrival: findings queued before a stop
    // are dropped too.
    QMetaObject::invokeMethod(
        m_receiver,
        [cancelled = m_cancelled, work = std::move(work)] {
            if (!cancelled->load())
                work();
        },
        Qt::QueuedConnection);
}

void StartupRepairWorker::run(const QList<RecordingItem>& recordings, const QString& storageDirectory)
{
    // The quick checks first, so a re-transcription need not wait for the
    // waveforms of the recordings before it.
    QList<RecordingItem> placeholders;
    QList<RecordingItem> flatWaveforms;
    for (const RecordingItem& item : recordings) {
        if (m_cancelled->load())
            return;
        if (RepairRules::isPlaceholderTranscript(item.transcriptSegments))
            placeholders.append(item);
        if (const std::optional<QString> cleaned = RepairRules::cleanedOlderRecap(item.summary))
            deliver([handler = m_handlers.olderRecap, item, summary = *cleaned] { handler(item, summary); });
        if (RepairRules::waveformNeedsRepair(item.waveformSamples))
            flatWaveforms.append(item);
    }
    if (!placeholders.isEmpty())
        deliver([handler = m_handlers.placeholderTranscripts, placeholders] { handler(placeholders); });

    const QDir folder(storageDirectory);
    for (const RecordingItem& item : flatWaveforms) {
        const std::optional<QList<float>> bars = WaveformExtractor::extract(
            folder.filePath(item.fileName), RepairRules::barsPerWaveform, m_cancelled.get());
        if (m_cancelled->load())
            return;
        // A missing or unreadable file keeps what is stored, until the next start.
        if (bars)
            deliver([handler = m_handlers.waveform, item, bars = *bars] { handler(item, bars); });
    }
    deliver([handler = m_handlers.finished] { handler(); });
}
