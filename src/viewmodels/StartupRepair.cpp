#include "viewmodels/StartupRepair.h"

#include "common/ConsoleLine.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/StartupRepairWorker.h"
#include "viewmodels/collaborators/TranscriptionService.h"

#include <QTimer>

namespace {

// From the pass to the re-transcription of a placeholder transcript.
constexpr std::chrono::milliseconds retranscriptionDelay{1000};

} // namespace

StartupRepair::StartupRepair(Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_library(collaborators.library)
    , m_processing(collaborators.processing)
    , m_whisperEngine(collaborators.whisperEngine)
    , m_storage(collaborators.storage)
{
}

StartupRepair::~StartupRepair() = default;

void StartupRepair::start()
{
    StartupRepairWorker::Handlers handlers;
    handlers.placeholderTranscripts = [this](const QList<RecordingItem>& visited) {
        // Without a speech model the run could only fail; the placeholder (and
        // the recap beside it) stays, and a start with a model tries again.
        if (!m_whisperEngine.isModelInstalled()) {
            ConsoleLine::print(QStringLiteral("%1 placeholder transcripts wait for a speech model to be re-transcribed.")
                                   .arg(visited.size()));
            return;
        }
        for (const RecordingItem& item : visited) {
            ConsoleLine::print(QStringLiteral("Found legacy mock transcript for ") + item.title
                + QStringLiteral(". Re-transcribing with Whisper Turbo for real timestamps..."));
            QTimer::singleShot(retranscriptionDelay, this, [this, id = item.id] {
                // A recording deleted meanwhile is left alone.
                if (const std::optional<RecordingItem> current = m_library.item(id))
                    m_processing.transcribeRecording(*current);
            });
        }
    };
    handlers.olderRecap = [this](const RecordingItem& visited, const QString& cleaned) {
        // A recap written anew since the look is newer than the cleaning.
        const std::optional<RecordingItem> current = m_library.item(visited.id);
        if (!current || current->summary != visited.summary)
            return;
        m_library.updateItem(visited.id, [&cleaned](RecordingItem& entry) { entry.summary = cleaned; });
        ConsoleLine::print(QStringLiteral("Repaired and cleaned executive recap for ") + visited.title + QStringLiteral("."));
    };
    handlers.waveform = [this](const RecordingItem& visited, const QList<float>& bars) {
        // Skipped when the recording is gone, or a cut or merge gave it a
        // new file or waveform while this one was read.
        const std::optional<RecordingItem> current = m_library.item(visited.id);
        if (!current || current->fileName != visited.fileName || current->waveformSamples != visited.waveformSamples)
            return;
        m_library.updateItem(visited.id, [&bars](RecordingItem& entry) { entry.waveformSamples = bars; });
        ConsoleLine::print(QStringLiteral("Repaired and enhanced waveform for ") + visited.title + QStringLiteral(" with ")
            + QString::number(bars.size()) + QStringLiteral(" dynamic bars."));
    };
    handlers.finished = [this] {
        m_worker.reset(); // its thread has nothing left to do
        Q_EMIT finished();
    };

    m_worker = std::make_unique<StartupRepairWorker>(this, std::move(handlers));
    m_worker->start(m_library.recordings(), m_storage.storageDirectory());
}
