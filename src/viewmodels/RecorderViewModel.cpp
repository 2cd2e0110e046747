#include "viewmodels/RecorderViewModel.h"

#include "audio/SystemAudioPermission.h"
#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "common/FileUtils.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "common/SettingsTable.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/DefaultTitle.h"
#include "viewmodels/FutureOutcome.h"
#include "viewmodels/LibraryFiling.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/PublishedValue.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/WaveformBars.h"
#include "viewmodels/collaborators/DeviceService.h"
#include "viewmodels/collaborators/MeetingService.h"
#include "viewmodels/collaborators/PlayerService.h"
#include "viewmodels/collaborators/RecorderService.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPointer>

#include <utility>

namespace {

constexpr double minimumDuration = 0.4; // seconds
constexpr qint64 minimumFileSize = 1024; // bytes
constexpr int waveformBarCount = 120;
constexpr qsizetype maxLiveWaveformPoints = 600;
// Gains at or below this count as unset.
constexpr float minimumStoredGain = 0.05f;

float storedGain(const Settings& settings, const QString& key)
{
    const float stored = settings.value(key).toFloat();
    return stored > minimumStoredGain ? stored : SettingsTable::defaultValue(key).toFloat();
}

} // namespace

RecorderViewModel::RecorderViewModel(Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_library(collaborators.library)
    , m_processing(collaborators.processing)
    , m_status(collaborators.status)
    , m_recorder(collaborators.recorder)
    , m_deviceManager(collaborators.deviceManager)
    , m_meetingDetector(collaborators.meetingDetector)
    , m_player(collaborators.player)
    , m_storage(collaborators.storage)
    , m_settings(collaborators.settings)
{
    m_durationTimer.setInterval(collaborators.durationTickInterval);
    connect(&m_durationTimer, &QTimer::timeout, this, &RecorderViewModel::refreshLiveValues);

    readInputSettings();
    // The device manager's choice, handed on to the recorder.
    setSelectedMicID(m_deviceManager.selectedMicID());
    m_activeRecordingType = RecordingTypes::fromRawValue(m_settings.stringValue(SettingsKeys::lastRecordingType))
                                .value_or(RecordingType::meeting);
    m_showPermissionBanner = !SystemAudioPermission::shared().isGranted();

    setupRecorderCallbacks();
    setupDeviceSubscription();
    setupMeetingDetector();
}

RecorderViewModel::~RecorderViewModel()
{
    // The detector outlives us when it is the shared one.
    m_meetingDetector.setOnStartRecordingRequested({});
    m_meetingDetector.setOnStopRecordingRequested({});
}

void RecorderViewModel::readInputSettings()
{
    // Set directly: nothing is stored back at start.
    m_micVolume = storedGain(m_settings, SettingsKeys::micVolume);
    m_recorder.setMicGain(m_micVolume);
    m_sysVolume = storedGain(m_settings, SettingsKeys::sysVolume);
    m_recorder.setSysGain(m_sysVolume);
    const QVariant echoGuard = m_settings.value(SettingsKeys::echoGuardEnabled);
    m_isEchoGuardEnabled = echoGuard.isValid() ? echoGuard.toBool()
                                                : SettingsTable::defaultValue(SettingsKeys::echoGuardEnabled).toBool();
    m_recorder.setEchoGuardEnabled(m_isEchoGuardEnabled);
}

void RecorderViewModel::setupRecorderCallbacks()
{
    connect(&m_recorder, &RecorderService::liveWaveformSample, this, [this](float amplitude) {
        m_liveWaveformPoints.append(amplitude);
        if (m_liveWaveformPoints.size() > maxLiveWaveformPoints)
            m_liveWaveformPoints.removeFirst();
        Q_EMIT liveWaveformPointsChanged();
    });
    // A full disk ends the recording with what it has; the stop says why.
    connect(&m_recorder, &RecorderService::writeFailed, this, [this] { stopRecording(); });
    // So does a sound server that went away, or the last source ending.
    connect(&m_recorder, &RecorderService::interrupted, this, [this](const QString& reason) {
        if (m_recorderState != RecorderState::recording && m_recorderState != RecorderState::paused)
            return;
        m_interruptionReason = reason;
        stopRecording();
    });
    connect(&m_recorder, &RecorderService::sourceEnded, this, [this](const QString& message) {
        if (m_recorderState == RecorderState::recording || m_recorderState == RecorderState::paused)
            m_status.showHeld(message);
    });
    connect(&m_recorder, &RecorderService::levelsUpdated, this, [this](float mic, float sys) {
        publish(this, m_micLevel, mic, &RecorderViewModel::micLevelChanged);
        publish(this, m_sysLevel, sys, &RecorderViewModel::sysLevelChanged);
    });
}

void RecorderViewModel::setupDeviceSubscription()
{
    // Our own write comes back as an equal value and ends there.
    connect(&m_deviceManager, &DeviceService::selectedMicIDChanged, this, [this] {
        const QString id = m_deviceManager.selectedMicID();
        if (id != m_selectedMicID)
            setSelectedMicID(id);
    });
    const auto forward = [this] {
        QMetaObject::invokeMethod(this, &RecorderViewModel::deviceManagerChanged, Qt::QueuedConnection);
    };
    connect(&m_deviceManager, &DeviceService::availableMicsChanged, this, forward);
    connect(&m_deviceManager, &DeviceService::selectedMicIDChanged, this, forward);
    connect(&m_deviceManager, &DeviceService::soundServerReachableChanged, this, forward);
}

void RecorderViewModel::setupMeetingDetector()
{
    QPointer<RecorderViewModel> self(this);
    m_meetingDetector.setOnStartRecordingRequested([self](const DetectedMeeting& meeting) {
        if (self && self->m_recorderState == RecorderState::idle)
            self->startNewRecording(meeting.suggestedRecordingTitle(), meeting);
    });
    m_meetingDetector.setOnStopRecordingRequested([self] {
        if (self
            && (self->m_recorderState == RecorderState::recording || self->m_recorderState == RecorderState::paused))
            self->stopRecording();
    });
    connect(&m_meetingDetector, &MeetingService::changed, this, [this] {
        QMetaObject::invokeMethod(this, &RecorderViewModel::meetingDetectorChanged, Qt::QueuedConnection);
    });
}

// --- Sources ---

void RecorderViewModel::setSelectedMicID(const QString& id)
{
    publish(this, m_selectedMicID, id, &RecorderViewModel::selectedMicIDChanged);
    m_deviceManager.setSelectedMicID(id);
    m_recorder.updateSelectedMic(m_deviceManager.selectedMicDevice());
}

void RecorderViewModel::setIsMicEnabled(bool enabled)
{
    publish(this, m_isMicEnabled, enabled, &RecorderViewModel::isMicEnabledChanged);
    m_recorder.setMicEnabled(enabled);
}

void RecorderViewModel::setIsSystemAudioEnabled(bool enabled)
{
    publish(this, m_isSystemAudioEnabled, enabled, &RecorderViewModel::isSystemAudioEnabledChanged);
    m_recorder.setSystemAudioEnabled(enabled);
}

void RecorderViewModel::setMicVolume(float volume)
{
    publish(this, m_micVolume, volume, &RecorderViewModel::micVolumeChanged);
    m_recorder.setMicGain(volume);
    m_settings.setValue(SettingsKeys::micVolume, static_cast<double>(volume));
}

void RecorderViewModel::setSysVolume(float volume)
{
    publish(this, m_sysVolume, volume, &RecorderViewModel::sysVolumeChanged);
    m_recorder.setSysGain(volume);
    m_settings.setValue(SettingsKeys::sysVolume, static_cast<double>(volume));
}

void RecorderViewModel::setIsEchoGuardEnabled(bool enabled)
{
    publish(this, m_isEchoGuardEnabled, enabled, &RecorderViewModel::isEchoGuardEnabledChanged);
    m_recorder.setEchoGuardEnabled(enabled);
    m_settings.setValue(SettingsKeys::echoGuardEnabled, enabled);
}

void RecorderViewModel::setShowPermissionBanner(bool show)
{
    publish(this, m_showPermissionBanner, show, &RecorderViewModel::showPermissionBannerChanged);
}

void RecorderViewModel::startNewRecording(const std::optional<QString>& customTitle,
                                           const std::optional<DetectedMeeting>& fromMeeting)
{
    if (m_recorderState != RecorderState::idle)
        return;
    Q_EMIT recordingStarting();
    setRecorderState(RecorderState::starting);
    m_library.setActiveDetailTab(DetailViewTab::waveform);
    m_library.setSelectedRecording(std::nullopt);
    m_player.stop();

    if (!m_isMicEnabled && !m_isSystemAudioEnabled) {
        setRecorderState(RecorderState::idle);
        m_status.show(QStringLiteral("Please enable at least one source (Mic or System Audio) to record."));
        return;
    }

    const QString title = customTitle ? *customTitle : nextDefaultTitle();
    // Numbered without the library's titles: numbered again when filed.
    m_activeTitleIsProvisional = !customTitle && !m_library.isLibraryLoaded();
    if (const auto stored = RecordingTypes::fromRawValue(m_settings.stringValue(SettingsKeys::lastRecordingType)))
        publish(this, m_activeRecordingType, *stored, &RecorderViewModel::activeRecordingTypeChanged);

    const QString captureFile = m_storage.newTempRecordingFileURL();
    m_activeTempRecordingFileURL = captureFile;
    setActiveRecordingTitle(title);
    m_activeRecordingStartDate = Date::now();
    setLiveWaveformPoints({});
    setRecordingDuration(0);
    m_meetingDetector.notifyRecordingStarted(fromMeeting, fromMeeting.has_value());

    runStartTask(captureFile);
}

void RecorderViewModel::runStartTask(const QString& captureFile)
{
    const QFuture<void> started = m_recorder.startRecording(captureFile, m_deviceManager.selectedMicDevice());
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
        m_meetingDetector.notifyRecordingStopped();
        m_status.show(QStringLiteral("Failed to start recording: ") + reason);
    });
}

void RecorderViewModel::pauseResumeRecording()
{
    if (m_recorderState == RecorderState::recording) {
        m_recorder.pauseRecording();
        setRecorderState(RecorderState::paused);
    } else if (m_recorderState == RecorderState::paused) {
        m_recorder.resumeRecording();
        setRecorderState(RecorderState::recording);
    }
}

void RecorderViewModel::stopRecording()
{
    if (m_recorderState != RecorderState::recording && m_recorderState != RecorderState::paused)
        return;
    setRecorderState(RecorderState::stopping);
    // Out of sight, the last copy may be a second old.
    refreshRecordingDuration();
    stopDurationTimer();
    m_meetingDetector.notifyRecordingStopped();

    StopContext context;
    context.captureFile = m_activeTempRecordingFileURL;
    context.title = m_activeRecordingTitle ? *m_activeRecordingTitle : nextDefaultTitle();
    context.fileName = m_storage.newRecordingFileName(context.title);
    context.createdAt = m_activeRecordingStartDate ? *m_activeRecordingStartDate
                                                   : Date::now().addingSeconds(-std::max(m_recordingDuration, 0.0));
    context.titleIsProvisional = m_activeRecordingTitle && m_activeTitleIsProvisional;
    m_activeTitleIsProvisional = false;

    m_activeTempRecordingFileURL.reset();
    setActiveRecordingTitle(std::nullopt);
    m_activeRecordingStartDate.reset();

    runStopTask(std::move(context));
}

void RecorderViewModel::runStopTask(StopContext context)
{
    // Kept here, not in the task, so that a rename committed while the
    // recorder finishes still names the recording.
    context.interruption = std::exchange(m_interruptionReason, std::nullopt);
    m_pendingStop = std::move(context);
    whenFinished(m_recorder.stopRecording(), this, [this](const FutureOutcome<RecorderService::StopResult>& outcome) {
        const StopContext stopped = *m_pendingStop;
        m_pendingStop.reset();
        setRecorderState(RecorderState::idle);
        setRecordingDuration(0);
        if (!outcome.succeeded()) {
            // The capture file stays; the library takes it in at its next load.
            const QString reason = outcome.error ? Error::describe(outcome.error) : CancelledError().message();
            ConsoleLine::print(QStringLiteral("Failed to stop recording: ") + reason);
            m_status.showHeld(QStringLiteral("Failed to save recording: ") + reason);
            return;
        }
        // Filed into the whole library: one stopped before the load arrived
        // stays in its capture file until then.
        m_library.whenLoaded([this, stopped, result = *outcome.value] {
            // Shown first and held, so the messages of the work that filing
            // starts (transcription) wait until it has been read.
            const std::optional<QString> why = result.writeError ? result.writeError : stopped.interruption;
            if (why) {
                ConsoleLine::print(QStringLiteral("Recording stopped: ") + *why);
                m_status.showHeld(QStringLiteral("Recording stopped: ") + *why);
            }
            saveStoppedRecording(stopped, result.duration, result.amplitudes);
        });
    });
}

void RecorderViewModel::saveStoppedRecording(const StopContext& stopped, double duration,
                                              const QList<float>& amplitudes)
{
    StopContext context = stopped;
    if (context.titleIsProvisional) {
        context.title = nextDefaultTitle();
        context.fileName = m_storage.newRecordingFileName(context.title);
    }
    if (!context.captureFile) {
        ConsoleLine::print(QStringLiteral("Error: Missing temp recording URL."));
        return;
    }

    const LibraryFiling::Filed filed
        = LibraryFiling::moveIntoLibrary(m_storage, *context.captureFile, context.title, context.fileName);
    if (!filed.succeeded()) {
        ConsoleLine::print(QStringLiteral("Failed to move temp recording to final destination: ") + filed.error);
        m_status.showHeld(QStringLiteral("Failed to save recording: ") + filed.error);
        return;
    }
    const QString fileName = filed.fileName;
    const QString finalPath = QDir(m_storage.storageDirectory()).filePath(fileName);
    const qint64 size = FileUtils::fileSize(finalPath);
    if (size < 0 || duration < minimumDuration || size < minimumFileSize) {
        QFile::remove(finalPath);
        return;
    }

    RecordingItem item;
    item.title = context.title;
    item.fileName = fileName;
    item.createdAt = context.createdAt;
    item.duration = duration;
    item.fileSizeBytes = size;
    item.waveformSamples = WaveformBars::downsample(amplitudes, waveformBarCount);
    item.recordingType = m_activeRecordingType;

    m_processing.transcribeIfAutomatic(m_library.fileNewRecording(item));
}

void RecorderViewModel::startDurationTimer()
{
    m_durationTimerWanted = true;
    if (m_liveValuesShown)
        m_durationTimer.start();
}

void RecorderViewModel::stopDurationTimer()
{
    m_durationTimerWanted = false;
    m_durationTimer.stop();
}

void RecorderViewModel::refreshLiveValues()
{
    m_recorder.deliverLiveValues();
    setRecordingDuration(m_recorder.currentRecordingDuration());
}

void RecorderViewModel::setLiveValuesShown(bool shown)
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

void RecorderViewModel::refreshRecordingDuration()
{
    if (m_durationTimerWanted && !m_durationTimer.isActive())
        setRecordingDuration(m_recorder.currentRecordingDuration());
}

QString RecorderViewModel::nextDefaultTitle() const
{
    QStringList titles;
    titles.reserve(m_library.recordings().size());
    for (const RecordingItem& item : m_library.recordings())
        titles.append(item.title);
    return DefaultTitle::next(titles);
}

void RecorderViewModel::setActiveRecordingType(RecordingType type)
{
    publish(this, m_activeRecordingType, type, &RecorderViewModel::activeRecordingTypeChanged);
    m_settings.setValue(SettingsKeys::lastRecordingType, RecordingTypes::rawValue(type));
}

void RecorderViewModel::renameActiveRecording(const QString& newTitle)
{
    const QString title = newTitle.trimmed();
    if (title.isEmpty())
        return;
    if (m_pendingStop) {
        // Committed while the recorder finishes: the stopped recording takes it.
        if (title != m_pendingStop->title) {
            m_pendingStop->title = title;
            m_pendingStop->fileName = m_storage.newRecordingFileName(title);
        }
        m_pendingStop->titleIsProvisional = false;
        return;
    }
    if (m_recorderState == RecorderState::idle)
        return; // nothing is being recorded
    setActiveRecordingTitle(title);
    m_activeTitleIsProvisional = false;
}

void RecorderViewModel::setRecorderState(RecorderState state)
{
    publish(this, m_recorderState, state, &RecorderViewModel::recorderStateChanged);
}

void RecorderViewModel::setRecordingDuration(double seconds)
{
    publish(this, m_recordingDuration, seconds, &RecorderViewModel::recordingDurationChanged);
}

void RecorderViewModel::setActiveRecordingTitle(const std::optional<QString>& title)
{
    publish(this, m_activeRecordingTitle, title, &RecorderViewModel::activeRecordingTitleChanged);
}

void RecorderViewModel::setLiveWaveformPoints(const QList<float>& points)
{
    publish(this, m_liveWaveformPoints, points, &RecorderViewModel::liveWaveformPointsChanged);
}
