#include "viewmodels/ProcessingRuns.h"

#include "common/Error.h"
#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/FutureProgress.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/StatusLine.h"
#include "common/SettingsKeys.h"
#include "viewmodels/collaborators/ClipboardService.h"
#include "viewmodels/collaborators/EnhancerService.h"
#include "viewmodels/collaborators/RecapService.h"
#include "viewmodels/collaborators/TranscriptionService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

template <typename T>
QString failureText(const FutureOutcome<T>& outcome)
{
    return Error::describe(outcome.error);
}

} // namespace

ProcessingRuns::ProcessingRuns(Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_library(collaborators.library)
    , m_status(collaborators.status)
    , m_whisperEngine(collaborators.whisperEngine)
    , m_recapEngine(collaborators.recapEngine)
    , m_voiceEnhancer(collaborators.voiceEnhancer)
    , m_clipboard(collaborators.clipboard)
    , m_storage(collaborators.storage)
    , m_settings(collaborators.settings)
{
}

void ProcessingRuns::transcribeRecording(const RecordingItem& item)
{
    const QUuid id = item.id;
    if (m_transcribingRecordingIDs.contains(id))
        return;
    setBusy(m_transcribingRecordingIDs, &ProcessingRuns::transcribingRecordingIDsChanged, id, true);
    // The old recap stays until a new one replaces it: a transcription or a
    // recap that fails, or no recap model, must not leave the user with less.

    const QFuture<TranscriptionService::Transcription> future
        = m_whisperEngine.transcribeAudioFile(m_storage.fileURL(item));
    const auto cancelled = std::make_shared<bool>(false);
    registerTask(id, {QFuture<void>(future), cancelled, Kind::transcription});
    whenProgress(future, this, [this, id, cancelled](int percent) {
        if (!*cancelled)
            setProgress(m_transcriptionProgress, &ProcessingRuns::transcriptionProgressChanged, id, percent);
    });
    whenFinished(future, this, [this, id, cancelled](const FutureOutcome<TranscriptionService::Transcription>& outcome) {
        if (*cancelled)
            return;
        setBusy(m_transcribingRecordingIDs, &ProcessingRuns::transcribingRecordingIDsChanged, id, false);
        setProgress(m_transcriptionProgress, &ProcessingRuns::transcriptionProgressChanged, id, std::nullopt);
        if (outcome.succeeded()) {
            const bool stored = m_library.updateItem(id, [&outcome](RecordingItem& entry) {
                entry.transcript = outcome.value->text;
                entry.transcriptSegments = outcome.value->segments;
            });
            m_status.show(QStringLiteral("Transcription finished!"));
            if (stored)
                startAutomaticRecap(id);
        } else if (outcome.error) {
            m_status.show(QStringLiteral("Transcription failed: ") + failureText(outcome));
        }
    });
}

void ProcessingRuns::transcribeIfAutomatic(const RecordingItem& item)
{
    const QVariant autoTranscribe = m_settings.value(SettingsKeys::autoTranscribe);
    if (!autoTranscribe.isValid() || autoTranscribe.toBool())
        transcribeRecording(item);
}

void ProcessingRuns::startAutomaticRecap(const QUuid& id)
{
    const QVariant autoRecap = m_settings.value(SettingsKeys::autoGenerateRecap);
    if (autoRecap.isValid() && !autoRecap.toBool())
        return;
    const std::optional<RecordingItem> item = m_library.item(id);
    if (!item || !isRecapModelPresent())
        return;
    generateRecap(*item, item->recordingType.value_or(RecordingType::meeting));
}

bool ProcessingRuns::isRecapModelPresent() const
{
    return QFileInfo(QDir(m_recapEngine.modelsDirectory()).filePath(m_recapEngine.modelFileName())).isFile();
}

void ProcessingRuns::generateRecap(const RecordingItem& item, std::optional<RecordingType> type)
{
    if (!item.transcript || item.transcript->trimmed().isEmpty()) {
        m_status.show(QStringLiteral("Please transcribe the recording first."));
        return;
    }
    const QUuid id = item.id;
    if (m_recappingRecordingIDs.contains(id))
        return;
    setBusy(m_recappingRecordingIDs, &ProcessingRuns::recappingRecordingIDsChanged, id, true);

    const RecordingType resolved = type ? *type : item.recordingType.value_or(RecordingType::meeting);
    if (item.recordingType != resolved)
        m_library.updateItem(id, [resolved](RecordingItem& entry) { entry.recordingType = resolved; });

    const QFuture<QString> future = m_recapEngine.generateRecap(*item.transcript, resolved);
    const auto cancelled = std::make_shared<bool>(false);
    registerTask(id, {QFuture<void>(future), cancelled, Kind::recap});
    whenFinished(future, this, [this, id, cancelled](const FutureOutcome<QString>& outcome) {
        if (*cancelled)
            return;
        setBusy(m_recappingRecordingIDs, &ProcessingRuns::recappingRecordingIDsChanged, id, false);
        if (outcome.succeeded()) {
            m_library.updateItem(id, [&outcome](RecordingItem& entry) {
                entry.summary = *outcome.value;
                entry.summaryCreatedAt = Date::now();
            });
            m_status.show(QStringLiteral("Executive recap ready!"));
        } else if (outcome.error) {
            m_status.show(QStringLiteral("Recap failed: ") + failureText(outcome));
        }
    });
}

void ProcessingRuns::enhanceRecording(const RecordingItem& item)
{
    const QUuid id = item.id;
    if (m_enhancingRecordingIDs.contains(id))
        return;
    setBusy(m_enhancingRecordingIDs, &ProcessingRuns::enhancingRecordingIDsChanged, id, true);

    const RecordingsStorage::FileLocation destination = m_storage.enhancedDestinationURL(item);
    const QFuture<void> future = m_voiceEnhancer.enhanceAudioFile(m_storage.fileURL(item), destination.url);
    const auto cancelled = std::make_shared<bool>(false);
    registerTask(id, {future, cancelled, Kind::enhancement});
    whenProgress(future, this, [this, id, cancelled](int percent) {
        if (!*cancelled)
            setProgress(m_enhancementProgress, &ProcessingRuns::enhancementProgressChanged, id, percent);
    });
    whenFinished(future, this, [this, id, cancelled, destination](const FutureOutcome<void>& outcome) {
        // A copy written for a recording that is gone belongs to nobody.
        const auto removeOrphan = [this, &destination] {
            const QList<RecordingItem>& recordings = m_library.recordings();
            const bool referenced = std::any_of(recordings.begin(), recordings.end(), [&](const RecordingItem& r) {
                return r.fileName == destination.fileName || r.enhancedFileName == destination.fileName;
            });
            if (!referenced)
                QFile::remove(destination.url);
        };
        if (*cancelled) {
            removeOrphan();
            return;
        }
        setBusy(m_enhancingRecordingIDs, &ProcessingRuns::enhancingRecordingIDsChanged, id, false);
        setProgress(m_enhancementProgress, &ProcessingRuns::enhancementProgressChanged, id, std::nullopt);
        if (outcome.succeeded()) {
            const bool stored = m_library.updateItem(
                id, [&destination](RecordingItem& entry) { entry.enhancedFileName = destination.fileName; },
                [this] { m_library.setPlayingEnhanced(true); });
            if (!stored)
                removeOrphan();
            m_status.show(QStringLiteral("Voice enhanced!"));
        } else if (outcome.error) {
            m_status.show(QStringLiteral("Enhancement failed: ") + failureText(outcome));
        }
    });
}

void ProcessingRuns::copyRecap(const QString& text)
{
    if (m_clipboard)
        m_clipboard->setText(text);
    m_status.show(QStringLiteral("Recap copied to clipboard!"));
}

void ProcessingRuns::copyTranscript(const QString& text)
{
    if (m_clipboard)
        m_clipboard->setText(text);
    m_status.show(QStringLiteral("Transcript copied to clipboard!"));
}

void ProcessingRuns::registerTask(const QUuid& id, Task task)
{
    // Kept until the recording is deleted: a run whose result is still on its
    // way to the main thread must be cancellable too.
    m_tasks[id].append(std::move(task));
}

void ProcessingRuns::cancelAll(const QUuid& id)
{
    // A cancelled run applies nothing and shows nothing, whatever its engine
    // still returns.
    for (Task& task : m_tasks.take(id)) {
        *task.cancelled = true;
        task.future.cancel();
    }
    setBusy(m_transcribingRecordingIDs, &ProcessingRuns::transcribingRecordingIDsChanged, id, false);
    setBusy(m_recappingRecordingIDs, &ProcessingRuns::recappingRecordingIDsChanged, id, false);
    setBusy(m_enhancingRecordingIDs, &ProcessingRuns::enhancingRecordingIDsChanged, id, false);
    setProgress(m_transcriptionProgress, &ProcessingRuns::transcriptionProgressChanged, id, std::nullopt);
    setProgress(m_enhancementProgress, &ProcessingRuns::enhancementProgressChanged, id, std::nullopt);
}

void ProcessingRuns::cancelTranscription(const RecordingItem& item)
{
    if (!m_transcribingRecordingIDs.contains(item.id))
        return;
    cancelKind(item.id, Kind::transcription);
    setBusy(m_transcribingRecordingIDs, &ProcessingRuns::transcribingRecordingIDsChanged, item.id, false);
    setProgress(m_transcriptionProgress, &ProcessingRuns::transcriptionProgressChanged, item.id, std::nullopt);
    m_status.show(QStringLiteral("Transcription cancelled"));
}

void ProcessingRuns::cancelEnhancement(const RecordingItem& item)
{
    if (!m_enhancingRecordingIDs.contains(item.id))
        return;
    // The engine keeps an earlier enhanced copy as it was; its run removes
    // only a copy that nothing refers to.
    cancelKind(item.id, Kind::enhancement);
    setBusy(m_enhancingRecordingIDs, &ProcessingRuns::enhancingRecordingIDsChanged, item.id, false);
    setProgress(m_enhancementProgress, &ProcessingRuns::enhancementProgressChanged, item.id, std::nullopt);
    m_status.show(QStringLiteral("Enhancement cancelled"));
}

void ProcessingRuns::cancelKind(const QUuid& id, Kind kind)
{
    const auto tasks = m_tasks.find(id);
    if (tasks == m_tasks.end())
        return;
    tasks->removeIf([kind](const Task& task) {
        if (task.kind != kind)
            return false;
        *task.cancelled = true;
        QFuture<void>(task.future).cancel();
        return true;
    });
    if (tasks->isEmpty())
        m_tasks.erase(tasks);
}

void ProcessingRuns::setProgress(QHash<QUuid, int>& progress, void (ProcessingRuns::*changed)(),
                                     const QUuid& id, std::optional<int> percent)
{
    if (percent ? progress.value(id, -1) == *percent : !progress.contains(id))
        return;
    if (percent)
        progress.insert(id, *percent);
    else
        progress.remove(id);
    Q_EMIT(this->*changed)();
}

void ProcessingRuns::setBusy(QSet<QUuid>& set, void (ProcessingRuns::*changed)(), const QUuid& id, bool busy)
{
    if (busy == set.contains(id))
        return;
    if (busy)
        set.insert(id);
    else
        set.remove(id);
    Q_EMIT(this->*changed)();
}
