// Transcription, recap and enhancement of library recordings: one run of each
// kind per recording, registered so that deleting the recording cancels it.

#include "viewmodels/RecordingViewModel.h"

#include "common/Error.h"
#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/FutureProgress.h"
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

void RecordingViewModel::transcribeRecording(const RecordingItem& item)
{
    const QUuid id = item.id;
    if (m_transcribingRecordingIDs.contains(id))
        return;
    setBusy(m_transcribingRecordingIDs, &RecordingViewModel::transcribingRecordingIDsChanged, id, true);
    // The old recap stays until a new one replaces it: a transcription or a
    // recap that fails, or no recap model, must not leave the user with less.

    const QFuture<TranscriptionService::Transcription> future
        = m_whisperEngine->transcribeAudioFile(m_storage->fileURL(item));
    const auto cancelled = std::make_shared<bool>(false);
    registerProcessingTask(id, {QFuture<void>(future), cancelled, ProcessingKind::transcription});
    whenProgress(future, this, [this, id, cancelled](int percent) {
        if (!*cancelled)
            setProgress(m_transcriptionProgress, &RecordingViewModel::transcriptionProgressChanged, id, percent);
    });
    whenFinished(future, this, [this, id, cancelled](const FutureOutcome<TranscriptionService::Transcription>& outcome) {
        if (*cancelled)
            return;
        setBusy(m_transcribingRecordingIDs, &RecordingViewModel::transcribingRecordingIDsChanged, id, false);
        setProgress(m_transcriptionProgress, &RecordingViewModel::transcriptionProgressChanged, id, std::nullopt);
        if (outcome.succeeded()) {
            const bool stored = updateLibraryItem(id, [&outcome](RecordingItem& entry) {
                entry.transcript = outcome.value->text;
                entry.transcriptSegments = outcome.value->segments;
            });
            showStatus(QStringLiteral("Transcription finished!"));
            if (stored)
                startAutomaticRecap(id);
        } else if (outcome.error) {
            showStatus(QStringLiteral("Transcription failed: ") + failureText(outcome));
        }
    });
}

void RecordingViewModel::startAutomaticRecap(const QUuid& id)
{
    const QVariant autoRecap = m_settings->value(SettingsKeys::autoGenerateRecap);
    if (autoRecap.isValid() && !autoRecap.toBool())
        return;
    const std::optional<RecordingItem> item = libraryItem(id);
    if (!item || !isRecapModelPresent())
        return;
    generateRecap(*item, item->recordingType.value_or(RecordingType::meeting));
}

bool RecordingViewModel::isRecapModelPresent() const
{
    return QFileInfo(QDir(m_recapEngine->modelsDirectory()).filePath(m_recapEngine->modelFileName())).isFile();
}

void RecordingViewModel::generateRecap(const RecordingItem& item, std::optional<RecordingType> type)
{
    if (!item.transcript || item.transcript->trimmed().isEmpty()) {
        showStatus(QStringLiteral("Please transcribe the recording first."));
        return;
    }
    const QUuid id = item.id;
    if (m_recappingRecordingIDs.contains(id))
        return;
    setBusy(m_recappingRecordingIDs, &RecordingViewModel::recappingRecordingIDsChanged, id, true);

    const RecordingType resolved = type ? *type : item.recordingType.value_or(RecordingType::meeting);
    if (item.recordingType != resolved)
        updateLibraryItem(id, [resolved](RecordingItem& entry) { entry.recordingType = resolved; });

    const QFuture<QString> future = m_recapEngine->generateRecap(*item.transcript, resolved);
    const auto cancelled = std::make_shared<bool>(false);
    registerProcessingTask(id, {QFuture<void>(future), cancelled, ProcessingKind::recap});
    whenFinished(future, this, [this, id, cancelled](const FutureOutcome<QString>& outcome) {
        if (*cancelled)
            return;
        setBusy(m_recappingRecordingIDs, &RecordingViewModel::recappingRecordingIDsChanged, id, false);
        if (outcome.succeeded()) {
            updateLibraryItem(id, [&outcome](RecordingItem& entry) {
                entry.summary = *outcome.value;
                entry.summaryCreatedAt = Date::now();
            });
            showStatus(QStringLiteral("Executive recap ready!"));
        } else if (outcome.error) {
            showStatus(QStringLiteral("Recap failed: ") + failureText(outcome));
        }
    });
}

void RecordingViewModel::enhanceRecording(const RecordingItem& item)
{
    const QUuid id = item.id;
    if (m_enhancingRecordingIDs.contains(id))
        return;
    setBusy(m_enhancingRecordingIDs, &RecordingViewModel::enhancingRecordingIDsChanged, id, true);

    const RecordingsStorage::FileLocation destination = m_storage->enhancedDestinationURL(item);
    const QFuture<void> future = m_voiceEnhancer->enhanceAudioFile(m_storage->fileURL(item), destination.url);
    const auto cancelled = std::make_shared<bool>(false);
    registerProcessingTask(id, {future, cancelled, ProcessingKind::enhancement});
    whenProgress(future, this, [this, id, cancelled](int percent) {
        if (!*cancelled)
            setProgress(m_enhancementProgress, &RecordingViewModel::enhancementProgressChanged, id, percent);
    });
    whenFinished(future, this, [this, id, cancelled, destination](const FutureOutcome<void>& outcome) {
        // A copy written for a recording that is gone belongs to nobody.
        const auto removeOrphan = [this, &destination] {
            const bool referenced = std::any_of(m_recordings.begin(), m_recordings.end(), [&](const RecordingItem& r) {
                return r.fileName == destination.fileName || r.enhancedFileName == destination.fileName;
            });
            if (!referenced)
                QFile::remove(destination.url);
        };
        if (*cancelled) {
            removeOrphan();
            return;
        }
        setBusy(m_enhancingRecordingIDs, &RecordingViewModel::enhancingRecordingIDsChanged, id, false);
        setProgress(m_enhancementProgress, &RecordingViewModel::enhancementProgressChanged, id, std::nullopt);
        if (outcome.succeeded()) {
            const bool stored = updateLibraryItem(
                id, [&destination](RecordingItem& entry) { entry.enhancedFileName = destination.fileName; },
                [this] { setPlayingEnhanced(true); });
            if (!stored)
                removeOrphan();
            showStatus(QStringLiteral("Voice enhanced!"));
        } else if (outcome.error) {
            showStatus(QStringLiteral("Enhancement failed: ") + failureText(outcome));
        }
    });
}

void RecordingViewModel::copyRecap(const QString& text)
{
    if (m_clipboard)
        m_clipboard->setText(text);
    showStatus(QStringLiteral("Recap copied to clipboard!"));
}

void RecordingViewModel::copyTranscript(const QString& text)
{
    if (m_clipboard)
        m_clipboard->setText(text);
    showStatus(QStringLiteral("Transcript copied to clipboard!"));
}

void RecordingViewModel::registerProcessingTask(const QUuid& id, ProcessingTask task)
{
    // Kept until the recording is deleted: a run whose result is still on its
    // way to the main thread must be cancellable too.
    m_activeProcessingTasks[id].append(std::move(task));
}

void RecordingViewModel::cancelProcessingTasks(const QUuid& id)
{
    // A cancelled run applies nothing and shows nothing, whatever its engine
    // still returns.
    for (ProcessingTask& task : m_activeProcessingTasks.take(id)) {
        *task.cancelled = true;
        task.future.cancel();
    }
    setBusy(m_transcribingRecordingIDs, &RecordingViewModel::transcribingRecordingIDsChanged, id, false);
    setBusy(m_recappingRecordingIDs, &RecordingViewModel::recappingRecordingIDsChanged, id, false);
    setBusy(m_enhancingRecordingIDs, &RecordingViewModel::enhancingRecordingIDsChanged, id, false);
    setProgress(m_transcriptionProgress, &RecordingViewModel::transcriptionProgressChanged, id, std::nullopt);
    setProgress(m_enhancementProgress, &RecordingViewModel::enhancementProgressChanged, id, std::nullopt);
}

void RecordingViewModel::cancelTranscription(const RecordingItem& item)
{
    if (!m_transcribingRecordingIDs.contains(item.id))
        return;
    cancelProcessingKind(item.id, ProcessingKind::transcription);
    setBusy(m_transcribingRecordingIDs, &RecordingViewModel::transcribingRecordingIDsChanged, item.id, false);
    setProgress(m_transcriptionProgress, &RecordingViewModel::transcriptionProgressChanged, item.id, std::nullopt);
    showStatus(QStringLiteral("Transcription cancelled"));
}

void RecordingViewModel::cancelEnhancement(const RecordingItem& item)
{
    if (!m_enhancingRecordingIDs.contains(item.id))
        return;
    // The engine keeps an earlier enhanced copy as it was; its run removes
    // only a copy that nothing refers to.
    cancelProcessingKind(item.id, ProcessingKind::enhancement);
    setBusy(m_enhancingRecordingIDs, &RecordingViewModel::enhancingRecordingIDsChanged, item.id, false);
    setProgress(m_enhancementProgress, &RecordingViewModel::enhancementProgressChanged, item.id, std::nullopt);
    showStatus(QStringLiteral("Enhancement cancelled"));
}

void RecordingViewModel::cancelProcessingKind(const QUuid& id, ProcessingKind kind)
{
    const auto tasks = m_activeProcessingTasks.find(id);
    if (tasks == m_activeProcessingTasks.end())
        return;
    tasks->removeIf([kind](const ProcessingTask& task) {
        if (task.kind != kind)
            return false;
        *task.cancelled = true;
        QFuture<void>(task.future).cancel();
        return true;
    });
    if (tasks->isEmpty())
        m_activeProcessingTasks.erase(tasks);
}

void RecordingViewModel::setProgress(QHash<QUuid, int>& progress, void (RecordingViewModel::*changed)(),
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

void RecordingViewModel::setBusy(QSet<QUuid>& set, void (RecordingViewModel::*changed)(), const QUuid& id, bool busy)
{
    if (busy == set.contains(id))
        return;
    if (busy)
        set.insert(id);
    else
        set.remove(id);
    Q_EMIT(this->*changed)();
}
