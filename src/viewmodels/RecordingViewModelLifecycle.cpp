// Starting, pausing and stopping a recording, and filing the stopped recording
// into the library.

#include "viewmodels/RecordingViewModel.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/DefaultTitle.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/LibraryFiling.h"
#include "common/SettingsKeys.h"
#include "viewmodels/WaveformBars.h"
#include "viewmodels/collaborators/DeviceService.h"
#include "viewmodels/collaborators/MeetingService.h"
#include "viewmodels/collaborators/PlayerService.h"
#include "viewmodels/collaborators/RecorderService.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <utility>

namespace {

constexpr double minimumDuration = 0.4; // seconds
constexpr qint64 minimumFileSize = 1024; // bytes
constexpr int waveformBarCount = 120;

} // namespace

void RecordingViewModel::startNewRecording(const std::optional<QString>& customTitle,
                                           const std::optional<DetectedMeeting>& fromMeeting)
{
    if (m_recorderState != RecorderState::idle)
        return;
    if (m_isMergeModeActive)
        leaveMergeMode();
    if (m_isTrimmingActive)
        cancelTrimming();
    setRecorderState(RecorderState::starting);
    setActiveDetailTab(DetailViewTab::waveform);
    setSelectedRecording(std::nullopt);
    m_playerManager->stop();

    if (!m_isMicEnabled && !m_isSystemAudioEnabled) {
        setRecorderState(RecorderState::idle);
        showStatus(QStringLiteral("Please enable at least one source (Mic or System Audio) to record."));
        return;
    }

    const QString title = customTitle ? *customTitle : nextDefaultTitle();
    // Numbered without the library's titles: numbered again when filed.
    m_activeTitleIsProvisional = !customTitle && !m_isLibraryLoaded;
    if (const auto stored = RecordingTypes::fromRawValue(m_settings->stringValue(SettingsKeys::lastRecordingType)))
        assign(m_activeRecordingType, *stored, &RecordingViewModel::activeRecordingTypeChanged);

    const QString captureFile = m_storage->newTempRecordingFileURL();
    m_activeTempRecordingFileURL = captureFile;
    setActiveRecordingTitle(title);
    m_activeRecordingStartDate = Date::now();
    setLiveWaveformPoints({});
    setRecordingDuration(0);
    m_meetingDetector->notifyRecordingStarted(fromMeeting, fromMeeting.has_value());

    runStartTask(captureFile);
}

void RecordingViewModel::runStartTask(const QString& captureFile)
{
    const QFuture<void> started = m_recorder->startRecording(captureFile, m_deviceManager->selectedMicDevice());
    whenFinished(started, this, [this](const FutureOutcome<void>& outcome) {
        if (outcome.succeeded()) {
            setRecorderState(RecorderState::recording);
            startDurationTimer();
            return;
        }
        const QString reason = outcome.error ? Error::describe(outcome.error) : CancelledError().message();
        ConsoleLine::print(QStringLiteral("Failed to start recording: ") + reason);
        setRecorderState(RecorderState::idle);
        m_activeTempRecordingFileURL.reset();
        setActiveRecordingTitle(std::nullopt);
        m_activeRecordingStartDate.reset();
        m_meetingDetector->notifyRecordingStopped();
        showStatus(QStringLiteral("Failed to start recording: ") + reason);
    });
}

void RecordingViewModel::pauseResumeRecording()
{
    if (m_recorderState == RecorderState::recording) {
        m_recorder->pauseRecording();
        setRecorderState(RecorderState::paused);
    } else if (m_recorderState == RecorderState::paused) {
        m_recorder->resumeRecording();
        setRecorderState(RecorderState::recording);
    }
}

void RecordingViewModel::stopRecording()
{
    if (m_recorderState != RecorderState::recording && m_recorderState != RecorderState::paused)
        return;
    setRecorderState(RecorderState::stopping);
    // Out of sight, the last copy may be a second old.
    refreshRecordingDuration();
    stopDurationTimer();
    m_meetingDetector->notifyRecordingStopped();

    StopContext context;
    context.captureFile = m_activeTempRecordingFileURL;
    context.title = m_activeRecordingTitle ? *m_activeRecordingTitle : nextDefaultTitle();
    context.fileName = m_storage->newRecordingFileName(context.title);
    context.createdAt = m_activeRecordingStartDate ? *m_activeRecordingStartDate
                                                   : Date::now().addingSeconds(-std::max(m_recordingDuration, 0.0));
    context.titleIsProvisional = m_activeRecordingTitle && m_activeTitleIsProvisional;
    m_activeTitleIsProvisional = false;

    m_activeTempRecordingFileURL.reset();
    setActiveRecordingTitle(std::nullopt);
    m_activeRecordingStartDate.reset();

    runStopTask(std::move(context));
}

void RecordingViewModel::runStopTask(StopContext context)
{
    // Kept here, not in the task, so that a rename committed while the
    // recorder finishes still names the recording.
    context.interruption = std::exchange(m_interruptionReason, std::nullopt);
    m_pendingStop = std::move(context);
    whenFinished(m_recorder->stopRecording(), this, [this](const FutureOutcome<RecorderService::StopResult>& outcome) {
        const StopContext stopped = *m_pendingStop;
        m_pendingStop.reset();
        setRecorderState(RecorderState::idle);
        setRecordingDuration(0);
        if (!outcome.succeeded()) {
            // The capture file stays; the library takes it in at its next load.
            const QString reason = outcome.error ? Error::describe(outcome.error) : CancelledError().message();
            ConsoleLine::print(QStringLiteral("Failed to stop recording: ") + reason);
            showHeldStatus(QStringLiteral("Failed to save recording: ") + reason);
            return;
        }
        // Filed into the whole library: one stopped before the load arrived
        // stays in its capture file until then.
        whenLibraryLoaded([this, stopped, result = *outcome.value] {
            // Shown first and held, so the messages of the work that filing
            // starts (transcription) wait until it has been read.
            const std::optional<QString> why = result.writeError ? result.writeError : stopped.interruption;
            if (why) {
                ConsoleLine::print(QStringLiteral("Recording stopped: ") + *why);
                showHeldStatus(QStringLiteral("Recording stopped: ") + *why);
            }
            saveStoppedRecording(stopped, result.duration, result.amplitudes);
        });
    });
}

void RecordingViewModel::saveStoppedRecording(const StopContext& stopped, double duration,
                                              const QList<float>& amplitudes)
{
    StopContext context = stopped;
    if (context.titleIsProvisional) {
        context.title = nextDefaultTitle();
        context.fileName = m_storage->newRecordingFileName(context.title);
    }
    if (!context.captureFile) {
        ConsoleLine::print(QStringLiteral("Error: Missing temp recording URL."));
        return;
    }

    const LibraryFiling::Filed filed
        = LibraryFiling::moveIntoLibrary(*m_storage, *context.captureFile, context.title, context.fileName);
    if (!filed.succeeded()) {
        ConsoleLine::print(QStringLiteral("Failed to move temp recording to final destination: ") + filed.error);
        showHeldStatus(QStringLiteral("Failed to save recording: ") + filed.error);
        return;
    }
    const QString fileName = filed.fileName;
    const QString finalPath = QDir(m_storage->storageDirectory()).filePath(fileName);
    const qint64 size = FileUtils::fileSize(finalPath);
    if (size < 0 || duration < minimumDuration || size < minimumFileSize) {
        QFile::remove(finalPath);
        return;
    }

    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = context.title;
    item.fileName = fileName;
    item.createdAt = context.createdAt;
    item.duration = duration;
    item.fileSizeBytes = size;
    item.waveformSamples = WaveformBars::downsample(amplitudes, waveformBarCount);
    item.recordingType = m_activeRecordingType;

    QList<RecordingItem> recordings = m_recordings;
    recordings.removeIf([&](const RecordingItem& other) { return other.fileName == fileName; });
    recordings.prepend(item);
    setRecordings(recordings);
    saveLibrary();
    selectRecording(item);

    const QVariant autoTranscribe = m_settings->value(SettingsKeys::autoTranscribe);
    if (!autoTranscribe.isValid() || autoTranscribe.toBool())
        transcribeRecording(item);
}

void RecordingViewModel::startDurationTimer()
{
    m_durationTimerWanted = true;
    if (m_liveValuesShown)
        m_durationTimer.start();
}

void RecordingViewModel::stopDurationTimer()
{
    m_durationTimerWanted = false;
    m_durationTimer.stop();
}

void RecordingViewModel::refreshLiveValues()
{
    m_recorder->deliverLiveValues();
    setRecordingDuration(m_recorder->currentRecordingDuration());
}

void RecordingViewModel::setLiveValuesShown(bool shown)
{
    if (shown == m_liveValuesShown)
        return;
    m_liveValuesShown = shown;
    if (!m_durationTimerWanted)
        return;
    if (!shown) {
        // Nothing on screen wakes for them; the recorder keeps the waveform.
        m_durationTimer.stop();
        return;
    }
    refreshLiveValues();
    m_durationTimer.start();
}

void RecordingViewModel::refreshRecordingDuration()
{
    if (m_durationTimerWanted && !m_durationTimer.isActive())
        setRecordingDuration(m_recorder->currentRecordingDuration());
}

QString RecordingViewModel::nextDefaultTitle() const
{
    QStringList titles;
    titles.reserve(m_recordings.size());
    for (const RecordingItem& item : m_recordings)
        titles.append(item.title);
    return DefaultTitle::next(titles);
}

void RecordingViewModel::setActiveRecordingType(RecordingType type)
{
    assign(m_activeRecordingType, type, &RecordingViewModel::activeRecordingTypeChanged);
    m_settings->setValue(SettingsKeys::lastRecordingType, RecordingTypes::rawValue(type));
}

void RecordingViewModel::updateRecordingType(const RecordingItem& item, RecordingType type)
{
    updateLibraryItem(item.id, [type](RecordingItem& entry) { entry.recordingType = type; });
}

void RecordingViewModel::renameActiveRecording(const QString& newTitle)
{
    const QString title = newTitle.trimmed();
    if (title.isEmpty())
        return;
    if (m_pendingStop) {
        // Committed while the recorder finishes: the stopped recording takes it.
        if (title != m_pendingStop->title) {
            m_pendingStop->title = title;
            m_pendingStop->fileName = m_storage->newRecordingFileName(title);
        }
        m_pendingStop->titleIsProvisional = false;
        return;
    }
    if (m_recorderState == RecorderState::idle)
        return; // nothing is being recorded
    setActiveRecordingTitle(title);
    m_activeTitleIsProvisional = false;
}

void RecordingViewModel::setRecorderState(RecorderState state)
{
    assign(m_recorderState, state, &RecordingViewModel::recorderStateChanged);
}

void RecordingViewModel::setRecordingDuration(double seconds)
{
    assign(m_recordingDuration, seconds, &RecordingViewModel::recordingDurationChanged);
}

void RecordingViewModel::setActiveRecordingTitle(const std::optional<QString>& title)
{
    assign(m_activeRecordingTitle, title, &RecordingViewModel::activeRecordingTitleChanged);
}

void RecordingViewModel::setLiveWaveformPoints(const QList<float>& points)
{
    assign(m_liveWaveformPoints, points, &RecordingViewModel::liveWaveformPointsChanged);
}
