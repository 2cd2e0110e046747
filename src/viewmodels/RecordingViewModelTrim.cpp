// Trim mode: choosing a range of a stored recording, previewing it, and
// cutting the recording down to it, in place or as a new recording.

#include "viewmodels/RecordingViewModel.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/LibraryFiling.h"
#include "viewmodels/TrimRules.h"
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
struct RecordingViewModel::TrimJob {
    RecordingItem target;
    double start = 0;
    double end = 0;
    bool saveAsNew = false;
    QString temporaryPath;
};

// What the workers found out about the cut file.
struct RecordingViewModel::TrimCut {
    double duration = 0;
    qint64 fileSizeBytes = 0;
    QList<float> waveformSamples;
};

void RecordingViewModel::startTrimming(const RecordingItem& item)
{
    if (m_recorderState != RecorderState::idle)
        return;
    if (m_isMergeModeActive)
        leaveMergeMode();
    m_playerManager->pause();
    // The library's copy: a view may hold an older one.
    const RecordingItem target = libraryItem(item.id).value_or(item);
    assign(m_trimmingTargetItem, std::optional<RecordingItem>(target), &RecordingViewModel::trimmingTargetItemChanged);
    setTrimStartTime(0);
    setTrimEndTime(std::max(target.duration, 1.0));
    assign(m_isTrimmingActive, true, &RecordingViewModel::isTrimmingActiveChanged);
    setIsTrimPreviewing(false);
    // A cut of this recording still running shows again; another's does not.
    refreshTrimProcessing();
    selectRecording(target);
}

void RecordingViewModel::cancelCut()
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

void RecordingViewModel::refreshTrimProcessing()
{
    const auto run = m_trimmingTargetItem ? m_trimRuns.constFind(m_trimmingTargetItem->id) : m_trimRuns.constEnd();
    const bool running = run != m_trimRuns.constEnd();
    assign(m_isTrimmingProcessing, running, &RecordingViewModel::isTrimmingProcessingChanged);
    assign(m_trimmingProgressText, running ? std::optional<QString>(run->progress) : std::nullopt,
           &RecordingViewModel::trimmingProgressTextChanged);
}

void RecordingViewModel::toggleTrimPreview()
{
    if (!m_isTrimmingActive)
        return;
    if (m_isTrimPreviewing) {
        m_playerManager->pause();
        setIsTrimPreviewing(false);
        return;
    }
    // The player limits the position to its file and ignores it without one.
    m_playerManager->seek(m_trimStartTime);
    m_playerManager->play();
    setIsTrimPreviewing(true);
}

void RecordingViewModel::executeTrim(bool saveAsNew)
{
    // One cut per recording: a second confirmation would cut it again.
    if (!m_isTrimmingActive || !m_trimmingTargetItem || m_trimRuns.contains(m_trimmingTargetItem->id))
        return;
    if (!TrimRules::isLongEnough(m_trimStartTime, m_trimEndTime)) {
        showStatus(QStringLiteral("Trim range is too short (minimum 0.5s required)."));
        return;
    }
    // The handles were not moved: a cut would only copy the recording.
    const RecordingItem current = libraryItem(m_trimmingTargetItem->id).value_or(*m_trimmingTargetItem);
    if (current.duration > 0 && TrimRules::keepsEverything(m_trimStartTime, m_trimEndTime, current.duration)) {
        showStatus(QStringLiteral("Nothing to trim: the selection is the whole recording."));
        return;
    }
    m_playerManager->pause();
    setIsTrimPreviewing(false);

    TrimJob job;
    job.target = *m_trimmingTargetItem;
    job.start = m_trimStartTime;
    job.end = m_trimEndTime;
    job.saveAsNew = saveAsNew;
    // Hidden until it is complete, either way: a cut saved as new takes a free
    // name only then, one made in place replaces the recording in one rename.
    job.temporaryPath = QDir(m_storage->storageDirectory()).filePath(TrimRules::temporaryFileName());
    // Transcripts, recaps and enhanced copies of the audio about to go.
    if (!saveAsNew)
        cancelProcessingTasks(job.target.id);

    // Reports come from the trimmer's thread; each whole percent is applied on
    // the main thread to this cut's run while it is still there.
    QPointer<RecordingViewModel> self(this);
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
    run.work = m_trimmer->trimAudioFile(m_storage->fileURL(job.target), destination, job.start, job.end,
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
                      = extractWaveformFromFile(destination, waveformBarCount).value_or(randomBars());
                  return result;
              });
    whenFinished(cut, this, [this, job](const FutureOutcome<TrimCut>& outcome) {
        const bool cancelled = m_trimRuns.take(job.target.id).cancelRequested || outcome.cancelled();
        refreshTrimProcessing();
        if (cancelled) {
            QFile::remove(job.temporaryPath);
            showStatus(QStringLiteral("Trim cancelled"));
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

void RecordingViewModel::finishTrim(const TrimJob& job, const TrimCut& cut)
{
    // The recording was deleted while it was being cut: the cut belongs to nobody.
    if (!libraryItem(job.target.id)) {
        QFile::remove(job.temporaryPath);
        leaveTrimModeOf(job.target.id);
        return;
    }
    if (job.saveAsNew)
        saveCutAsNew(job, cut);
    else
        replaceWithCut(job, cut);
}

void RecordingViewModel::replaceWithCut(const TrimJob& job, const TrimCut& cut)
{
    const RecordingItem current = *libraryItem(job.target.id);
    // Whatever started during the cut worked on the audio that is going now.
    cancelProcessingTasks(current.id);
    const QString ownFile = m_storage->fileURL(current);
    const QString reason = FileUtils::replaceAtomically(job.temporaryPath, ownFile);
    if (!reason.isEmpty()) {
        // The recording's own file is untouched.
        QFile::remove(job.temporaryPath);
        failTrim(QStringLiteral("Cropping failed: ") + reason);
        return;
    }
    const QDir folder(m_storage->storageDirectory());
    for (const auto& enhanced : {job.target.enhancedFileName, current.enhancedFileName})
        if (enhanced && !enhanced->isEmpty())
            QFile::remove(folder.filePath(*enhanced));

    const TrimRules::Transcript transcript
        = TrimRules::retime(job.target.transcriptSegments, job.start, job.end, cut.duration);
    updateLibraryItem(current.id, [&](RecordingItem& entry) {
        entry.duration = cut.duration;
        entry.fileSizeBytes = cut.fileSizeBytes;
        entry.waveformSamples = cut.waveformSamples;
        entry.transcript = transcript.text;
        entry.transcriptSegments = transcript.segments;
        entry.enhancedFileName.reset();
        // The recap stays until the automatic one below replaces it.
    });
    leaveTrimModeOf(current.id);
    if (const auto updated = libraryItem(current.id))
        selectRecording(*updated);
    showStatus(QStringLiteral("Recording cropped successfully!"));
    if (transcript.text && !transcript.text->trimmed().isEmpty())
        startAutomaticRecap(current.id);
}

void RecordingViewModel::saveCutAsNew(const TrimJob& job, const TrimCut& cut)
{
    const QString title = job.target.title + QStringLiteral(" (Trimmed)");
    const LibraryFiling::Filed filed = LibraryFiling::moveIntoLibrary(*m_storage, job.temporaryPath, title,
                                                                      m_storage->newRecordingFileName(title));
    if (!filed.succeeded()) {
        QFile::remove(job.temporaryPath);
        failTrim(QStringLiteral("Cropping failed: ") + filed.error);
        return;
    }
    const TrimRules::Transcript transcript
        = TrimRules::retime(job.target.transcriptSegments, job.start, job.end, cut.duration);
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = filed.fileName;
    item.createdAt = Date::now();
    item.duration = cut.duration;
    item.fileSizeBytes = cut.fileSizeBytes;
    item.waveformSamples = cut.waveformSamples;
    item.transcript = transcript.text;
    item.transcriptSegments = transcript.segments;

    QList<RecordingItem> recordings = m_recordings;
    recordings.prepend(item);
    setRecordings(recordings);
    saveLibrary();
    selectRecording(item);
    leaveTrimModeOf(job.target.id);
    showStatus(QStringLiteral("Cropped recording saved as \"") + title + QStringLiteral("\"!"));
    if (transcript.text && !transcript.text->trimmed().isEmpty())
        startAutomaticRecap(item.id);
}

void RecordingViewModel::failTrim(const QString& message)
{
    // Trim mode, its range and the recording stay as they were.
    ConsoleLine::print(message);
    showStatus(message);
}

void RecordingViewModel::leaveTrimModeOf(const QUuid& id)
{
    // Trim mode may have moved on to another recording meanwhile.
    if (m_trimmingTargetItem && m_trimmingTargetItem->id == id)
        cancelTrimming();
}
