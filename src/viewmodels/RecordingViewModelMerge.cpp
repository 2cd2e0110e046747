// Merge mode: picking recordings to join with a source recording and joining
// them, oldest first, into a new recording of the library.

#include "viewmodels/RecordingViewModel.h"

#include "audio/AudioMerger.h"
#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "common/ScratchFileName.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/LibraryFiling.h"
#include "viewmodels/MergeRules.h"
#include "viewmodels/collaborators/PlayerService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

namespace {

constexpr int waveformBarCount = 120;
constexpr float fallbackBarHeight = 0.1f;

} // namespace

void RecordingViewModel::startMergeMode(const RecordingItem& item)
{
    if (m_recorderState != RecorderState::idle)
        return;
    assign(m_isMergeModeActive, true, &RecordingViewModel::isMergeModeActiveChanged);
    assign(m_mergeSourceRecording, std::optional<RecordingItem>(item), &RecordingViewModel::mergeSourceRecordingChanged);
    assign(m_mergeSelectedIDs, QSet<QUuid>(), &RecordingViewModel::mergeSelectedIDsChanged);
    // A merge still running keeps its line until it ends.
    if (!m_isMerging)
        setMergeProgressText(std::nullopt);
}

void RecordingViewModel::toggleMergeSelection(const RecordingItem& item)
{
    if (!m_isMergeModeActive || !m_mergeSourceRecording || m_mergeSourceRecording->id == item.id)
        return;
    if (m_mergeSelectedIDs.contains(item.id)) {
        m_mergeSelectedIDs.remove(item.id);
    } else if (m_mergeSelectedIDs.size() < MergeRules::maxPicks) {
        m_mergeSelectedIDs.insert(item.id);
    } else {
        showStatus(QStringLiteral("Maximum 5 other recordings can be selected."));
        return;
    }
    Q_EMIT mergeSelectedIDsChanged();
}

void RecordingViewModel::executeMerge()
{
    // A second confirmation while the first merge runs would join the same
    // recordings again.
    if (!m_isMergeModeActive || !m_mergeSourceRecording || m_isMerging)
        return;
    QList<RecordingItem> picked;
    for (const RecordingItem& item : std::as_const(m_recordings)) {
        if (m_mergeSelectedIDs.contains(item.id))
            picked.append(item);
    }
    if (picked.isEmpty() || picked.size() > MergeRules::maxPicks) {
        showStatus(QStringLiteral("Please select between 1 and 5 recordings to merge."));
        return;
    }

    assign(m_isMerging, true, &RecordingViewModel::isMergingChanged);
    setMergeProgressText(QStringLiteral("Preparing merge..."));
    m_playerManager->stop();

    // The library's copy of the source names its file as it is now.
    const RecordingItem source = libraryItem(m_mergeSourceRecording->id).value_or(*m_mergeSourceRecording);
    const QList<RecordingItem> joined = MergeRules::joinedOrder(source, picked);

    MergeJob job;
    job.createdAt = Date::now();
    job.title = MergeRules::mergedTitle(source.title, m_recordings);
    // Hidden under a name of its own until complete: a merge cut short by a
    // crash is never taken back as a recording, and the next start removes it.
    job.tempFile = QDir(m_storage->storageDirectory()).filePath(ScratchFileName::make(ScratchFileName::Kind::merge));
    job.fileName = m_storage->newRecordingFileName(job.title);
    job.joinedCount = static_cast<int>(joined.size());

    // Always the recordings' own files, never their enhanced copies.
    QStringList sources;
    for (const RecordingItem& item : joined)
        sources.append(m_storage->fileURL(item));

    QPointer<RecordingViewModel> self(this);
    const auto onProgress = [self](double, const QString& message) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, message] {
                // A line that arrives after a cancel is not shown over its notice.
                if (self && self->m_isMerging && !self->m_mergeCancelRequested)
                    self->setMergeProgressText(message);
            },
            Qt::QueuedConnection);
    };
    m_mergeCancelRequested = false;
    m_mergeWork = AudioMerger::shared().mergeAudioFiles(sources, job.tempFile, onProgress);
    whenFinished(m_mergeWork, this, [this, job](const FutureOutcome<double>& outcome) {
        m_mergeWork = {};
        if (m_mergeCancelRequested || outcome.cancelled())
            mergeCancelled(job, {});
        else if (outcome.succeeded())
            mergeFinished(job, *outcome.value);
        else
            mergeFailed(job, Error::describe(outcome.error));
    });
}

void RecordingViewModel::cancelMergeMode()
{
    leaveMergeMode();
    if (!m_isMerging || m_mergeCancelRequested)
        return;
    // The merger stops at its next buffer and removes what it wrote; the
    // merge ends, and says so, once it has.
    m_mergeCancelRequested = true;
    m_mergeWork.cancel();
    setMergeProgressText(QStringLiteral("Cancelling merge..."));
}

void RecordingViewModel::mergeCancelled(const MergeJob& job, const QString& filedPath)
{
    QFile::remove(job.tempFile);
    if (!filedPath.isEmpty())
        QFile::remove(filedPath);
    endMerge();
    showStatus(QStringLiteral("Merge cancelled"));
}

void RecordingViewModel::endMerge()
{
    m_mergeCancelRequested = false;
    assign(m_isMerging, false, &RecordingViewModel::isMergingChanged);
    setMergeProgressText(std::nullopt);
}

void RecordingViewModel::mergeFinished(const MergeJob& job, double duration)
{
    const LibraryFiling::Filed filed = LibraryFiling::moveIntoLibrary(*m_storage, job.tempFile, job.title, job.fileName);
    if (!filed.succeeded()) {
        mergeFailed(job, filed.error);
        return;
    }
    // Reading the new file's audio for its bars grows with its length.
    const QString path = QDir(m_storage->storageDirectory()).filePath(filed.fileName);
    whenFinished(QtConcurrent::run([path] { return extractWaveformFromFile(path, waveformBarCount); }), this,
                 [this, job, fileName = filed.fileName,
                  duration](const FutureOutcome<std::optional<QList<float>>>& outcome) {
                     const std::optional<QList<float>> bars = outcome.value.value_or(std::nullopt);
                     fileMergedRecording(job, fileName, duration,
                                         bars ? *bars : QList<float>(waveformBarCount, fallbackBarHeight));
                 });
}

void RecordingViewModel::fileMergedRecording(const MergeJob& job, const QString& fileName, double duration,
                                             const QList<float>& waveform)
{
    // Cancelled while its bars were read: the file goes, nothing is filed.
    if (m_mergeCancelRequested) {
        mergeCancelled(job, QDir(m_storage->storageDirectory()).filePath(fileName));
        return;
    }
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = job.title;
    item.fileName = fileName;
    item.createdAt = job.createdAt;
    item.duration = duration;
    item.fileSizeBytes = std::max<qint64>(0, FileUtils::fileSize(QDir(m_storage->storageDirectory()).filePath(fileName)));
    item.waveformSamples = waveform;

    QList<RecordingItem> recordings = m_recordings;
    recordings.prepend(item);
    setRecordings(recordings);
    saveLibrary();

    selectRecording(item);
    leaveMergeMode();
    endMerge();
    showStatus(QStringLiteral("Merged %1 recordings successfully!").arg(job.joinedCount));

    const QVariant autoTranscribe = m_settings->value(SettingsKeys::autoTranscribe);
    if (!autoTranscribe.isValid() || autoTranscribe.toBool())
        transcribeRecording(item);
}

void RecordingViewModel::mergeFailed(const MergeJob& job, const QString& reason)
{
    ConsoleLine::print(QStringLiteral("Merge failed: ") + reason);
    QFile::remove(job.tempFile);
    endMerge();
    showStatus(QStringLiteral("Merge failed: ") + reason);
}

void RecordingViewModel::setMergeProgressText(const std::optional<QString>& text)
{
    assign(m_mergeProgressText, text, &RecordingViewModel::mergeProgressTextChanged);
}
