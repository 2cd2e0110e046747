#include "viewmodels/TrimSession.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/LibraryFiling.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/PublishedValue.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/TrimRules.h"
#include "viewmodels/WaveformExtractor.h"
#include "viewmodels/collaborators/PlayerService.h"
#include "viewmodels/collaborators/TrimmerService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>

namespace {

constexpr int waveformBarCount = 120;

// Stand-in bars for a cut whose file could not be read: 0.2 to 0.6.
QList<float> randomBars()
{
    QList<float> bars;
    bars.reserve(waveformBarCount);
    for (int i = 0; i < waveformBarCount; ++i)
        bars.append(float(0.2 + 0.4 * QRandomGenerator::global()->generateDouble()));
    return bars;
}

QString failureText(const std::exception_ptr& error)
{
    return QStringLiteral("Cropping failed: ") + Error::describe(error);
}

} // namespace

// What a cut started from: the recording as it was when trim mode began, the
// range and where the cut is written.
struct TrimSession::TrimJob {
    RecordingItem target;
    double start = 0;
    double end = 0;
    bool saveAsNew = false;
    QString temporaryPath;
};

// What the workers found out about the cut file.
struct TrimSession::TrimCut {
    double duration = 0;
    qint64 fileSizeBytes = 0;
    QList<float> waveformSamples;
};

TrimSession::TrimSession(Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_library(collaborators.library)
    , m_processing(collaborators.processing)
    , m_recorder(collaborators.recorder)
    , m_merge(collaborators.merge)
    , m_status(collaborators.status)
    , m_player(collaborators.player)
    , m_trimmer(collaborators.trimmer)
    , m_storage(collaborators.storage)
{
    // A preview ends where the range ends. Queued: the player is not paused
    // from inside its own notification.
    const auto checkPreview = [this] {
        if (m_isTrimPreviewing && m_trimEndTime <= m_player.currentTime()) {
            m_player.pause();
            m_player.seek(m_trimStartTime);
            setIsTrimPreviewing(false);
        }
    };
    connect(&m_player, &PlayerService::currentTimeChanged, this, checkPreview, Qt::QueuedConnection);
    connect(&m_player, &PlayerService::isPlayingChanged, this, checkPreview, Qt::QueuedConnection);
}

void TrimSession::setTrimStartTime(double seconds)
{
    publish(this, m_trimStartTime, seconds, &TrimSession::trimStartTimeChanged);
}

void TrimSession::setTrimEndTime(double seconds)
{
    publish(this, m_trimEndTime, seconds, &TrimSession::trimEndTimeChanged);
}

void TrimSession::setIsTrimPreviewing(bool previewing)
{
    publish(this, m_isTrimPreviewing, previewing, &TrimSession::isTrimPreviewingChanged);
}

void TrimSession::cancelTrimming()
{
    m_player.pause();
    publish(this, m_isTrimmingActive, false, &TrimSession::isTrimmingActiveChanged);
    publish(this, m_trimmingTargetItem, std::optional<RecordingItem>(), &TrimSession::trimmingTargetItemChanged);
    publish(this, m_isTrimPreviewing, false, &TrimSession::isTrimPreviewingChanged);
    refreshTrimProcessing();
}

void TrimSession::startTrimming(const RecordingItem& item)
{
    if (m_recorder.recorderState() != RecorderState::idle)
        return;
    if (m_merge.isMergeModeActive())
        m_merge.leaveMergeMode();
    m_player.pause();
    // The library's copy: a view may hold an older one.
    const RecordingItem target = m_library.item(item.id).value_or(item);
    publish(this, m_trimmingTargetItem, std::optional<RecordingItem>(target), &TrimSession::trimmingTargetItemChanged);
    setTrimStartTime(0);
    setTrimEndTime(std::max(target.duration, 1.0));
    publish(this, m_isTrimmingActive, true, &TrimSession::isTrimmingActiveChanged);
    setIsTrimPreviewing(false);
    // A cut of this recording still running shows again; another's does not.
    refreshTrimProcessing();
    m_library.selectRecording(target);
}

void TrimSession::cancelCut()
{
    const std::optional<QUuid> id = m_trimmingTargetItem ? std::optional<QUuid>(m_trimmingTargetItem->id) : std::nullopt;
    cancelTrimming();
    if (!id)
        return;
    const auto run = m_trimRuns.find(*id);
    if (run == m_trimRuns.end() || run->cancelRequested)
        return;
    // The trimmer stops at its next buffer and removes what it wrote; the cut
    // ends, and says so, once it has.
    run->cancelRequested = true;
    run->work.cancel();
}

void TrimSession::refreshTrimProcessing()
{
    const auto run = m_trimmingTargetItem ? m_trimRuns.constFind(m_trimmingTargetItem->id) : m_trimRuns.constEnd();
    const bool running = run != m_trimRuns.constEnd();
    publish(this, m_isTrimmingProcessing, running, &TrimSession::isTrimmingProcessingChanged);
    publish(this, m_trimmingProgressText, running ? std::optional<QString>(run->progress) : std::nullopt,
           &TrimSession::trimmingProgressTextChanged);
}

void TrimSession::toggleTrimPreview()
{
    if (!m_isTrimmingActive)
        return;
    if (m_isTrimPreviewing) {
        m_player.pause();
        setIsTrimPreviewing(false);
        return;
    }
    // The player limits the position to its file and ignores it without one.
    m_player.seek(m_trimStartTime);
    m_player.play();
    setIsTrimPreviewing(true);
}

void TrimSession::executeTrim(bool saveAsNew)
{
    // One cut per recording: a second confirmation would cut it again.
    if (!m_isTrimmingActive || !m_trimmingTargetItem || m_trimRuns.contains(m_trimmingTargetItem->id))
        return;
    if (!TrimRules::isLongEnough(m_trimStartTime, m_trimEndTime)) {
        m_status.show(QStringLiteral("Trim range is too short (minimum 0.5s required)."));
        return;
    }
    // The handles were not moved: a cut would only copy the recording.
    const RecordingItem current = m_library.item(m_trimmingTargetItem->id).value_or(*m_trimmingTargetItem);
    if (current.duration > 0 && TrimRules::keepsEverything(m_trimStartTime, m_trimEndTime, current.duration)) {
        m_status.show(QStringLiteral("Nothing to trim: the selection is the whole recording."));
        return;
    }
    m_player.pause();
    setIsTrimPreviewing(false);

    TrimJob job;
    job.target = *m_trimmingTargetItem;
    job.start = m_trimStartTime;
    job.end = m_trimEndTime;
    job.saveAsNew = saveAsNew;
    // Hidden until it is complete, either way: a cut saved as new takes a free
    // name only then, one made in place replaces the recording in one rename.
    job.temporaryPath = QDir(m_storage.storageDirectory()).filePath(TrimRules::temporaryFileName());
    // Transcripts, recaps and enhanced copies of the audio about to go.
    if (!saveAsNew)
        m_processing.cancelAll(job.target.id);

    // Reports come from the trimmer's thread; each whole percent is applied on
    // the main thread to this cut's run while it is still there.
    QPointer<TrimSession> self(this);
    const QUuid id = job.target.id;
    const auto lastPercent = std::make_shared<std::atomic<int>>(-1);
    auto onProgress = [self, id, lastPercent](double fraction) {
        const int percent = int(std::clamp(fraction, 0.0, 1.0) * 100);
        if (lastPercent->exchange(percent) == percent)
            return;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, id, percent] {
            if (!self)
                return;
            const auto run = self->m_trimRuns.find(id);
            if (run == self->m_trimRuns.end() || run->cancelRequested)
                return;
            run->progress = QStringLiteral("Cropping audio... %1%").arg(percent);
            self->refreshTrimProcessing();
        }, Qt::QueuedConnection);
    };

    const QString destination = job.temporaryPath;
    TrimRun& run = m_trimRuns[id];
    run.progress = QStringLiteral("Cropping audio...");
    run.work = m_trimmer.trimAudioFile(m_storage.fileURL(job.target), destination, job.start, job.end,
                                        std::move(onProgress));
    refreshTrimProcessing();
    const QFuture<TrimCut> cut
        = run.work
              .then(QtFuture::Launch::Async, [destination](double duration) {
                  // Size and bars of the new file are read here, off the main thread.
                  TrimCut result;
                  result.duration = duration;
                  result.fileSizeBytes = std::max<qint64>(FileUtils::fileSize(destination), 0);
                  result.waveformSamples
                      = WaveformExtractor::extract(destination, waveformBarCount).value_or(randomBars());
                  return result;
              });
    whenFinished(cut, this, [this, job](const FutureOutcome<TrimCut>& outcome) {
        const bool cancelled = m_trimRuns.take(job.target.id).cancelRequested || outcome.cancelled();
        refreshTrimProcessing();
        if (cancelled) {
            QFile::remove(job.temporaryPath);
            m_status.show(QStringLiteral("Trim cancelled"));
            return;
        }
        if (!outcome.succeeded()) {
            QFile::remove(job.temporaryPath);
            failTrim(failureText(outcome.error));
            return;
        }
        finishTrim(job, *outcome.value);
    });
}

void TrimSession::finishTrim(const TrimJob& job, const TrimCut& cut)
{
    // The recording was deleted while it was being cut: the cut belongs to nobody.
    if (!m_library.item(job.target.id)) {
        QFile::remove(job.temporaryPath);
        leaveTrimModeOf(job.target.id);
        return;
    }
    if (job.saveAsNew)
        saveCutAsNew(job, cut);
    else
        replaceWithCut(job, cut);
}

void TrimSession::replaceWithCut(const TrimJob& job, const TrimCut& cut)
{
    const RecordingItem current = *m_library.item(job.target.id);
    // Whatever started during the cut worked on the audio that is going now.
    m_processing.cancelAll(current.id);
    const QString ownFile = m_storage.fileURL(current);
    const QString reason = FileUtils::replaceAtomically(job.temporaryPath, ownFile);
    if (!reason.isEmpty()) {
        // The recording's own file is untouched.
        QFile::remove(job.temporaryPath);
        failTrim(QStringLiteral("Cropping failed: ") + reason);
        return;
    }
    const QDir folder(m_storage.storageDirectory());
    for (const auto& enhanced : {job.target.enhancedFileName, current.enhancedFileName})
        if (enhanced && !enhanced->isEmpty())
            QFile::remove(folder.filePath(*enhanced));

    const TrimRules::Transcript transcript
        = TrimRules::retime(job.target.transcriptSegments, job.start, job.end, cut.duration);
    m_library.updateItem(current.id, [&](RecordingItem& entry) {
        entry.duration = cut.duration;
        entry.fileSizeBytes = cut.fileSizeBytes;
        entry.waveformSamples = cut.waveformSamples;
        entry.transcript = transcript.text;
        entry.transcriptSegments = transcript.segments;
        entry.enhancedFileName.reset();
        // The recap stays until the automatic one below replaces it.
    });
    leaveTrimModeOf(current.id);
    if (const auto updated = m_library.item(current.id))
        m_library.selectRecording(*updated);
    m_status.show(QStringLiteral("Recording cropped successfully!"));
    if (transcript.text && !transcript.text->trimmed().isEmpty())
        m_processing.startAutomaticRecap(current.id);
}

void TrimSession::saveCutAsNew(const TrimJob& job, const TrimCut& cut)
{
    const QString title = job.target.title + QStringLiteral(" (Trimmed)");
    const LibraryFiling::Filed moved = LibraryFiling::moveIntoLibrary(m_storage, job.temporaryPath, title,
                                                                      m_storage.newRecordingFileName(title));
    if (!moved.succeeded()) {
        QFile::remove(job.temporaryPath);
        failTrim(QStringLiteral("Cropping failed: ") + moved.error);
        return;
    }
    const TrimRules::Transcript transcript
        = TrimRules::retime(job.target.transcriptSegments, job.start, job.end, cut.duration);
    RecordingItem item;
    item.title = title;
    item.fileName = moved.fileName;
    item.createdAt = Date::now();
    item.duration = cut.duration;
    item.fileSizeBytes = cut.fileSizeBytes;
    item.waveformSamples = cut.waveformSamples;
    item.transcript = transcript.text;
    item.transcriptSegments = transcript.segments;

    const RecordingItem filed = m_library.fileNewRecording(item);
    leaveTrimModeOf(job.target.id);
    m_status.show(QStringLiteral("Cropped recording saved as \"") + title + QStringLiteral("\"!"));
    if (transcript.text && !transcript.text->trimmed().isEmpty())
        m_processing.startAutomaticRecap(filed.id);
}

void TrimSession::failTrim(const QString& message)
{
    // Trim mode, its range and the recording stay as they were.
    ConsoleLine::print(message);
    m_status.show(message);
}

void TrimSession::leaveTrimModeOf(const QUuid& id)
{
    // Trim mode may have moved on to another recording meanwhile.
    if (m_trimmingTargetItem && m_trimmingTargetItem->id == id)
        cancelTrimming();
}
