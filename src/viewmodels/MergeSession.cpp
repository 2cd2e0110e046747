#include "viewmodels/MergeSession.h"

#include "audio/AudioMerger.h"
#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "common/ScratchFileName.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/LibraryFiling.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeRules.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/PublishedValue.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/WaveformExtractor.h"
#include "viewmodels/collaborators/PlayerService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr int waveformBarCount = 120;
constexpr float fallbackBarHeight = 0.1f;

} // namespace

MergeSession::MergeSession(Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_library(collaborators.library)
    , m_processing(collaborators.processing)
    , m_recorder(collaborators.recorder)
    , m_status(collaborators.status)
    , m_player(collaborators.player)
    , m_storage(collaborators.storage)
{
}

void MergeSession::startMergeMode(const RecordingItem& item)
{
    if (m_recorder.recorderState() != RecorderState::idle)
        return;
    publish(this, m_isMergeModeActive, true, &MergeSession::isMergeModeActiveChanged);
    publish(this, m_mergeSourceRecording, std::optional<RecordingItem>(item),
            &MergeSession::mergeSourceRecordingChanged);
    publish(this, m_mergeSelectedIDs, QSet<QUuid>(), &MergeSession::mergeSelectedIDsChanged);
    // A merge still running keeps its line until it ends.
    if (!m_isMerging)
        setMergeProgressText(std::nullopt);
}

void MergeSession::toggleMergeSelection(const RecordingItem& item)
{
    if (!m_isMergeModeActive || !m_mergeSourceRecording || m_mergeSourceRecording->id == item.id)
        return;
    if (m_mergeSelectedIDs.contains(item.id)) {
        m_mergeSelectedIDs.remove(item.id);
    } else if (m_mergeSelectedIDs.size() < MergeRules::maxPicks) {
        m_mergeSelectedIDs.insert(item.id);
    } else {
        m_status.show(QStringLiteral("Maximum 5 other recordings can be selected."));
        return;
    }
    Q_EMIT mergeSelectedIDsChanged();
}

void MergeSession::executeMerge()
{
    // A second confirmation while the first merge runs would join the same
    // recordings again.
    if (!m_isMergeModeActive || !m_mergeSourceRecording || m_isMerging)
        return;
    QList<RecordingItem> picked;
    for (const RecordingItem& item : m_library.recordings()) {
        if (m_mergeSelectedIDs.contains(item.id))
            picked.append(item);
    }
    if (picked.isEmpty() || picked.size() > MergeRules::maxPicks) {
        m_status.show(QStringLiteral("Please select between 1 and 5 recordings to merge."));
        return;
    }

    publish(this, m_isMerging, true, &MergeSession::isMergingChanged);
    setMergeProgressText(QStringLiteral("Preparing merge..."));
    m_player.stop();

    // The library's copy of the source names its file as it is now.
    const RecordingItem source = m_library.item(m_mergeSourceRecording->id).value_or(*m_mergeSourceRecording);
    const QList<RecordingItem> joined = MergeRules::joinedOrder(source, picked);

    MergeJob job;
    job.createdAt = Date::now();
    job.title = MergeRules::mergedTitle(source.title, m_library.recordings());
    // Hidden under a name of its own until complete: a merge cut short by a
    // crash is never taken back as a recording, and the next start removes it.
    job.tempFile = QDir(m_storage.storageDirectory()).filePath(ScratchFileName::make(ScratchFileName::Kind::merge));
    job.fileName = m_storage.newRecordingFileName(job.title);
    job.joinedCount = static_cast<int>(joined.size());

    // Always the recordings' own files, never their enhanced copies.
    QStringList sources;
    for (const RecordingItem& item : joined)
        sources.append(m_storage.fileURL(item));

    QPointer<MergeSession> self(this);
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

void MergeSession::cancelMergeMode()
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

void MergeSession::mergeCancelled(const MergeJob& job, const QString& filedPath)
{
    QFile::remove(job.tempFile);
    if (!filedPath.isEmpty())
        QFile::remove(filedPath);
    endMerge();
    m_status.show(QStringLiteral("Merge cancelled"));
}

void MergeSession::endMerge()
{
    m_mergeCancelRequested = false;
    publish(this, m_isMerging, false, &MergeSession::isMergingChanged);
    setMergeProgressText(std::nullopt);
}

void MergeSession::mergeFinished(const MergeJob& job, double duration)
{
    const LibraryFiling::Filed filed = LibraryFiling::moveIntoLibrary(m_storage, job.tempFile, job.title, job.fileName);
    if (!filed.succeeded()) {
        mergeFailed(job, filed.error);
        return;
    }
    // Reading the new file's audio for its bars grows with its length.
    const QString path = QDir(m_storage.storageDirectory()).filePath(filed.fileName);
    whenFinished(QtConcurrent::run([path] { return WaveformExtractor::extract(path, waveformBarCount); }), this,
                 [this, job, fileName = filed.fileName,
                  duration](const FutureOutcome<std::optional<QList<float>>>& outcome) {
                     const std::optional<QList<float>> bars = outcome.value.value_or(std::nullopt);
                     fileMergedRecording(job, fileName, duration,
                                         bars ? *bars : QList<float>(waveformBarCount, fallbackBarHeight));
                 });
}

void MergeSession::fileMergedRecording(const MergeJob& job, const QString& fileName, double duration,
                                             const QList<float>& waveform)
{
    // Cancelled while its bars were read: the file goes, nothing is filed.
    if (m_mergeCancelRequested) {
        mergeCancelled(job, QDir(m_storage.storageDirectory()).filePath(fileName));
        return;
    }
    RecordingItem item;
    item.title = job.title;
    item.fileName = fileName;
    item.createdAt = job.createdAt;
    item.duration = duration;
    item.fileSizeBytes
        = std::max<qint64>(0, FileUtils::fileSize(QDir(m_storage.storageDirectory()).filePath(fileName)));
    item.waveformSamples = waveform;

    const RecordingItem filed = m_library.fileNewRecording(item);
    leaveMergeMode();
    endMerge();
    m_status.show(QStringLiteral("Merged %1 recordings successfully!").arg(job.joinedCount));
    m_processing.transcribeIfAutomatic(filed);
}

void MergeSession::mergeFailed(const MergeJob& job, const QString& reason)
{
    ConsoleLine::print(QStringLiteral("Merge failed: ") + reason);
    QFile::remove(job.tempFile);
    endMerge();
    m_status.show(QStringLiteral("Merge failed: ") + reason);
}

void MergeSession::setMergeProgressText(const std::optional<QString>& text)
{
    publish(this, m_mergeProgressText, text, &MergeSession::mergeProgressTextChanged);
}

void MergeSession::leaveMergeMode()
{
    // A merge under way goes on: its state is cleared when it ends.
    publish(this, m_isMergeModeActive, false, &MergeSession::isMergeModeActiveChanged);
    publish(this, m_mergeSourceRecording, std::optional<RecordingItem>(), &MergeSession::mergeSourceRecordingChanged);
    publish(this, m_mergeSelectedIDs, QSet<QUuid>(), &MergeSession::mergeSelectedIDsChanged);
    if (!m_isMerging)
        setMergeProgressText(std::nullopt);
}

void MergeSession::forgetRecording(const QUuid& id)
{
    if (!m_isMergeModeActive)
        return;
    if (m_mergeSourceRecording && m_mergeSourceRecording->id == id) {
        leaveMergeMode();
    } else if (m_mergeSelectedIDs.remove(id)) {
        Q_EMIT mergeSelectedIDsChanged();
    }
}
