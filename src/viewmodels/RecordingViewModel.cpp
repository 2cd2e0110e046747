#include "viewmodels/RecordingViewModel.h"

#include "audio/SystemAudioPermission.h"
#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "common/SettingsKeys.h"
#include "viewmodels/LibraryLoader.h"
#include "viewmodels/StartupRepairWorker.h"
#include "viewmodels/adapters/RealCollaborators.h"
#include "viewmodels/collaborators/ClipboardService.h"
#include "viewmodels/collaborators/DeviceService.h"
#include "viewmodels/collaborators/EnhancerService.h"
#include "viewmodels/collaborators/FocusService.h"
#include "viewmodels/collaborators/MeetingService.h"
#include "viewmodels/collaborators/PlayerService.h"
#include "viewmodels/collaborators/RecapService.h"
#include "viewmodels/collaborators/RecorderService.h"
#include "viewmodels/collaborators/TranscriptionService.h"
#include "viewmodels/collaborators/TrimmerService.h"

#include <QMetaObject>
#include <QPointer>

#include <utility>

namespace {

QPointer<RecordingViewModel> sharedInstance;

constexpr qsizetype maxLiveWaveformPoints = 600;
// Gains at or below this count as unset.
constexpr float minimumStoredGain = 0.05f;

float storedGain(const Settings& settings, const QString& key, float fallback)
{
    const float stored = settings.value(key).toFloat();
    return stored > minimumStoredGain ? stored : fallback;
}

} // namespace

RecordingViewModel::Collaborators::Collaborators() = default;
RecordingViewModel::Collaborators::Collaborators(Collaborators&&) noexcept = default;
RecordingViewModel::Collaborators& RecordingViewModel::Collaborators::operator=(Collaborators&&) noexcept = default;
RecordingViewModel::Collaborators::~Collaborators() = default;

RecordingViewModel::RecordingViewModel()
    : RecordingViewModel(Collaborators{})
{
}

RecordingViewModel::RecordingViewModel(Collaborators collaborators, QObject* parent)
    : QObject(parent)
{
    RealCollaborators::fillIn(collaborators);
    m_deviceManager = std::move(collaborators.deviceManager);
    m_playerManager = std::move(collaborators.playerManager);
    m_whisperEngine = std::move(collaborators.whisperEngine);
    m_recapEngine = std::move(collaborators.recapEngine);
    m_voiceEnhancer = std::move(collaborators.voiceEnhancer);
    m_meetingDetector = std::move(collaborators.meetingDetector);
    m_trimmer = std::move(collaborators.trimmer);
    m_recorder = std::move(collaborators.recorder);
    m_clipboard = std::move(collaborators.clipboard);
    m_focus = std::move(collaborators.focus);
    m_storage = collaborators.storage ? collaborators.storage : &RecordingsStorage::shared();
    m_settings = collaborators.settings ? collaborators.settings : &Settings::shared();

    m_statusClearTimer.setSingleShot(true);
    m_statusClearTimer.setInterval(collaborators.statusClearDelay);
    connect(&m_statusClearTimer, &QTimer::timeout, this, [this] {
        if (std::exchange(m_statusHeld, false) && m_deferredStatus) {
            showStatus(*std::exchange(m_deferredStatus, std::nullopt));
            return;
        }
        setExportMessage(std::nullopt);
    });
    m_durationTimer.setInterval(collaborators.durationTickInterval);
    connect(&m_durationTimer, &QTimer::timeout, this, &RecordingViewModel::refreshLiveValues);

    readInputSettings();

    // The device manager's choice, handed on to the recorder.
    setSelectedMicID(m_deviceManager->selectedMicID());

    m_activeRecordingType = RecordingTypes::fromRawValue(m_settings->stringValue(SettingsKeys::lastRecordingType))
                                .value_or(RecordingType::meeting);

    // Selects the first recording and starts the start-up repair pass once
    // the library has arrived.
    loadLibrary(std::move(collaborators.beforeLibraryLoad));

    m_showPermissionBanner = !SystemAudioPermission::shared().isGranted();

    setupRecorderCallbacks();
    setupDeviceSubscription();
    setupPlayerSubscription();
    setupMeetingDetector();

    if (!sharedInstance) {
        sharedInstance = this;
        RecordingControl::setShared(this);
    }
}

RecordingViewModel::~RecordingViewModel()
{
    // Their threads read files for us and report here: they end first.
    m_libraryLoader.reset();
    m_startupRepair.reset();
    if (RecordingControl::shared() == this)
        RecordingControl::setShared(nullptr);
    // The detector outlives us when it is the shared one.
    m_meetingDetector->setOnStartRecordingRequested({});
    m_meetingDetector->setOnStopRecordingRequested({});
}

RecordingViewModel* RecordingViewModel::shared()
{
    return sharedInstance.data();
}

void RecordingViewModel::readInputSettings()
{
    // Set directly: nothing is stored back at start.
    m_micVolume = storedGain(*m_settings, SettingsKeys::micVolume, 1.4f);
    m_recorder->setMicGain(m_micVolume);
    m_sysVolume = storedGain(*m_settings, SettingsKeys::sysVolume, 0.9f);
    m_recorder->setSysGain(m_sysVolume);
    const QVariant echoGuard = m_settings->value(SettingsKeys::echoGuardEnabled);
    m_isEchoGuardEnabled = echoGuard.isValid() ? echoGuard.toBool() : true;
    m_recorder->setEchoGuardEnabled(m_isEchoGuardEnabled);
}

void RecordingViewModel::setupRecorderCallbacks()
{
    connect(m_recorder.get(), &RecorderService::liveWaveformSample, this, [this](float amplitude) {
        m_liveWaveformPoints.append(amplitude);
        if (m_liveWaveformPoints.size() > maxLiveWaveformPoints)
            m_liveWaveformPoints.removeFirst();
        Q_EMIT liveWaveformPointsChanged();
    });
    // A full disk ends the recording with what it has; the stop says why.
    connect(m_recorder.get(), &RecorderService::writeFailed, this, [this] { stopRecording(); });
    // So does a sound server that went away, or the last source ending.
    connect(m_recorder.get(), &RecorderService::interrupted, this, [this](const QString& reason) {
        if (m_recorderState != RecorderState::recording && m_recorderState != RecorderState::paused)
            return;
        m_interruptionReason = reason;
        stopRecording();
    });
    connect(m_recorder.get(), &RecorderService::sourceEnded, this, [this](const QString& message) {
        if (m_recorderState == RecorderState::recording || m_recorderState == RecorderState::paused)
            showHeldStatus(message);
    });
    connect(m_recorder.get(), &RecorderService::levelsUpdated, this, [this](float mic, float sys) {
        assign(m_micLevel, mic, &RecordingViewModel::micLevelChanged);
        assign(m_sysLevel, sys, &RecordingViewModel::sysLevelChanged);
    });
}

void RecordingViewModel::setupDeviceSubscription()
{
    // Our own write comes back as an equal value and ends there.
    connect(m_deviceManager.get(), &DeviceService::selectedMicIDChanged, this, [this] {
        const QString id = m_deviceManager->selectedMicID();
        if (id != m_selectedMicID)
            setSelectedMicID(id);
    });
    const auto forward = [this] {
        QMetaObject::invokeMethod(this, &RecordingViewModel::deviceManagerChanged, Qt::QueuedConnection);
    };
    connect(m_deviceManager.get(), &DeviceService::availableMicsChanged, this, forward);
    connect(m_deviceManager.get(), &DeviceService::selectedMicIDChanged, this, forward);
    connect(m_deviceManager.get(), &DeviceService::soundServerReachableChanged, this, forward);
}

void RecordingViewModel::setupPlayerSubscription()
{
    // A trim preview ends where the range ends. Queued: the player is not
    // paused from inside its own notification.
    const auto checkTrimPreview = [this] {
        if (m_isTrimPreviewing && m_trimEndTime <= m_playerManager->currentTime()) {
            m_playerManager->pause();
            m_playerManager->seek(m_trimStartTime);
            setIsTrimPreviewing(false);
        }
    };
    connect(m_playerManager.get(), &PlayerService::currentTimeChanged, this, checkTrimPreview, Qt::QueuedConnection);
    connect(m_playerManager.get(), &PlayerService::isPlayingChanged, this, checkTrimPreview, Qt::QueuedConnection);
}

void RecordingViewModel::setupMeetingDetector()
{
    QPointer<RecordingViewModel> self(this);
    m_meetingDetector->setOnStartRecordingRequested([self](const DetectedMeeting& meeting) {
        if (self && self->m_recorderState == RecorderState::idle)
            self->startNewRecording(meeting.suggestedRecordingTitle(), meeting);
    });
    m_meetingDetector->setOnStopRecordingRequested([self] {
        if (self
            && (self->m_recorderState == RecorderState::recording || self->m_recorderState == RecorderState::paused))
            self->stopRecording();
    });
    connect(m_meetingDetector.get(), &MeetingService::changed, this, [this] {
        QMetaObject::invokeMethod(this, &RecordingViewModel::meetingDetectorChanged, Qt::QueuedConnection);
    });
}

// --- Status message ---

void RecordingViewModel::showStatus(const QString& text)
{
    if (m_statusHeld) {
        m_deferredStatus = text;
        return;
    }
    setExportMessage(text);
    clearToastAfterDelay();
}

void RecordingViewModel::showHeldStatus(const QString& text)
{
    m_statusHeld = true;
    setExportMessage(text);
    clearToastAfterDelay();
}

void RecordingViewModel::clearToastAfterDelay()
{
    // Restarted by every message, so the latest one stays its full time.
    m_statusClearTimer.start();
}

void RecordingViewModel::setExportMessage(const std::optional<QString>& message)
{
    assign(m_exportMessage, message, &RecordingViewModel::exportMessageChanged);
}

// --- Sources ---

void RecordingViewModel::setSelectedMicID(const QString& id)
{
    assign(m_selectedMicID, id, &RecordingViewModel::selectedMicIDChanged);
    m_deviceManager->setSelectedMicID(id);
    m_recorder->updateSelectedMic(m_deviceManager->selectedMicDevice());
}

void RecordingViewModel::setIsMicEnabled(bool enabled)
{
    assign(m_isMicEnabled, enabled, &RecordingViewModel::isMicEnabledChanged);
    m_recorder->setMicEnabled(enabled);
}

void RecordingViewModel::setIsSystemAudioEnabled(bool enabled)
{
    assign(m_isSystemAudioEnabled, enabled, &RecordingViewModel::isSystemAudioEnabledChanged);
    m_recorder->setSystemAudioEnabled(enabled);
}

void RecordingViewModel::setMicVolume(float volume)
{
    assign(m_micVolume, volume, &RecordingViewModel::micVolumeChanged);
    m_recorder->setMicGain(volume);
    m_settings->setValue(SettingsKeys::micVolume, static_cast<double>(volume));
}

void RecordingViewModel::setSysVolume(float volume)
{
    assign(m_sysVolume, volume, &RecordingViewModel::sysVolumeChanged);
    m_recorder->setSysGain(volume);
    m_settings->setValue(SettingsKeys::sysVolume, static_cast<double>(volume));
}

void RecordingViewModel::setIsEchoGuardEnabled(bool enabled)
{
    assign(m_isEchoGuardEnabled, enabled, &RecordingViewModel::isEchoGuardEnabledChanged);
    m_recorder->setEchoGuardEnabled(enabled);
    m_settings->setValue(SettingsKeys::echoGuardEnabled, enabled);
}

// --- Plain state ---

void RecordingViewModel::setSearchText(const QString& text)
{
    if (assign(m_searchText, text, &RecordingViewModel::searchTextChanged))
        Q_EMIT filteredRecordingsChanged();
}

void RecordingViewModel::setIsSearchFocused(bool focused)
{
    assign(m_isSearchFocused, focused, &RecordingViewModel::isSearchFocusedChanged);
}

void RecordingViewModel::setIsRenamingActive(bool active)
{
    assign(m_isRenamingActive, active, &RecordingViewModel::isRenamingActiveChanged);
}

void RecordingViewModel::setActiveDetailTab(DetailViewTab tab)
{
    assign(m_activeDetailTab, tab, &RecordingViewModel::activeDetailTabChanged);
}

void RecordingViewModel::setShowPermissionBanner(bool show)
{
    assign(m_showPermissionBanner, show, &RecordingViewModel::showPermissionBannerChanged);
}

void RecordingViewModel::setTrimStartTime(double seconds)
{
    assign(m_trimStartTime, seconds, &RecordingViewModel::trimStartTimeChanged);
}

void RecordingViewModel::setTrimEndTime(double seconds)
{
    assign(m_trimEndTime, seconds, &RecordingViewModel::trimEndTimeChanged);
}

void RecordingViewModel::setIsTrimPreviewing(bool previewing)
{
    assign(m_isTrimPreviewing, previewing, &RecordingViewModel::isTrimPreviewingChanged);
}
