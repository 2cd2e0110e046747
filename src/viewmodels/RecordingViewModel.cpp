#include "viewmodels/RecordingViewModel.h"

#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/SettingsKeys.h"
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

#include <QMetaObject>
#include <QPointer>

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
    m_recorder = std::move(collaborators.recorder);
    m_clipboard = std::move(collaborators.clipboard);
    m_focus = std::move(collaborators.focus);
    m_storage = collaborators.storage ? collaborators.storage : &RecordingsStorage::shared();
    m_settings = collaborators.settings ? collaborators.settings : &Settings::shared();

    m_statusClearTimer.setSingleShot(true);
    m_statusClearTimer.setInterval(collaborators.statusClearDelay);
    connect(&m_statusClearTimer, &QTimer::timeout, this, [this] { setExportMessage(std::nullopt); });
    m_durationTimer.setInterval(collaborators.durationTickInterval);
    connect(&m_durationTimer, &QTimer::timeout, this,
            [this] { setRecordingDuration(m_recorder->currentRecordingDuration()); });

    readInputSettings();

    // The device manager's choice, handed on to the recorder.
    setSelectedMicID(m_deviceManager->selectedMicID());

    m_activeRecordingType = RecordingTypes::fromRawValue(m_settings->stringValue(SettingsKeys::lastRecordingType))
                                .value_or(RecordingType::meeting);

    setRecordings(m_storage->loadRecordings());
    if (!m_recordings.isEmpty())
        setSelectedRecording(m_recordings.first());

    // System audio is captured from the sound server's monitor, which needs no
    // permission on Linux.
    m_showPermissionBanner = false;

    setupRecorderCallbacks();
    setupDeviceSubscription();
    setupPlayerSubscription();
    setupMeetingDetector();

    if (!sharedInstance)
        sharedInstance = this;
}

RecordingViewModel::~RecordingViewModel()
{
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
    connect(m_recorder.get(), &RecorderService::levelsUpdated, this, [this](float mic, float sys) {
        if (mic != m_micLevel) {
            m_micLevel = mic;
            Q_EMIT micLevelChanged();
        }
        if (sys != m_sysLevel) {
            m_sysLevel = sys;
            Q_EMIT sysLevelChanged();
        }
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
    m_meetingDetector->setOnStartRecordingRequested([self](const QString& title, const DetectedMeeting& meeting) {
        if (self && self->m_recorderState == RecorderState::idle)
            self->startNewRecording(title, &meeting);
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
    if (m_exportMessage == message)
        return;
    m_exportMessage = message;
    Q_EMIT exportMessageChanged();
}

// --- Sources ---

void RecordingViewModel::setSelectedMicID(const QString& id)
{
    if (m_selectedMicID != id) {
        m_selectedMicID = id;
        Q_EMIT selectedMicIDChanged();
    }
    m_deviceManager->setSelectedMicID(id);
    m_recorder->updateSelectedMic(m_deviceManager->selectedMicDevice());
}

void RecordingViewModel::setIsMicEnabled(bool enabled)
{
    if (m_isMicEnabled != enabled) {
        m_isMicEnabled = enabled;
        Q_EMIT isMicEnabledChanged();
    }
    m_recorder->setMicEnabled(enabled);
}

void RecordingViewModel::setIsSystemAudioEnabled(bool enabled)
{
    if (m_isSystemAudioEnabled != enabled) {
        m_isSystemAudioEnabled = enabled;
        Q_EMIT isSystemAudioEnabledChanged();
    }
    m_recorder->setSystemAudioEnabled(enabled);
}

void RecordingViewModel::setMicVolume(float volume)
{
    if (m_micVolume != volume) {
        m_micVolume = volume;
        Q_EMIT micVolumeChanged();
    }
    m_recorder->setMicGain(volume);
    m_settings->setValue(SettingsKeys::micVolume, static_cast<double>(volume));
}

void RecordingViewModel::setSysVolume(float volume)
{
    if (m_sysVolume != volume) {
        m_sysVolume = volume;
        Q_EMIT sysVolumeChanged();
    }
    m_recorder->setSysGain(volume);
    m_settings->setValue(SettingsKeys::sysVolume, static_cast<double>(volume));
}

void RecordingViewModel::setIsEchoGuardEnabled(bool enabled)
{
    if (m_isEchoGuardEnabled != enabled) {
        m_isEchoGuardEnabled = enabled;
        Q_EMIT isEchoGuardEnabledChanged();
    }
    m_recorder->setEchoGuardEnabled(enabled);
    m_settings->setValue(SettingsKeys::echoGuardEnabled, enabled);
}

// --- Plain state ---

void RecordingViewModel::setSearchText(const QString& text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    Q_EMIT searchTextChanged();
    Q_EMIT filteredRecordingsChanged();
}

void RecordingViewModel::setIsSearchFocused(bool focused)
{
    if (m_isSearchFocused == focused)
        return;
    m_isSearchFocused = focused;
    Q_EMIT isSearchFocusedChanged();
}

void RecordingViewModel::setIsRenamingActive(bool active)
{
    if (m_isRenamingActive == active)
        return;
    m_isRenamingActive = active;
    Q_EMIT isRenamingActiveChanged();
}

void RecordingViewModel::setActiveDetailTab(DetailViewTab tab)
{
    if (m_activeDetailTab == tab)
        return;
    m_activeDetailTab = tab;
    Q_EMIT activeDetailTabChanged();
}

void RecordingViewModel::setShowPermissionBanner(bool show)
{
    if (m_showPermissionBanner == show)
        return;
    m_showPermissionBanner = show;
    Q_EMIT showPermissionBannerChanged();
}

void RecordingViewModel::setTrimStartTime(double seconds)
{
    if (m_trimStartTime == seconds)
        return;
    m_trimStartTime = seconds;
    Q_EMIT trimStartTimeChanged();
}

void RecordingViewModel::setTrimEndTime(double seconds)
{
    if (m_trimEndTime == seconds)
        return;
    m_trimEndTime = seconds;
    Q_EMIT trimEndTimeChanged();
}

void RecordingViewModel::setIsTrimPreviewing(bool previewing)
{
    if (m_isTrimPreviewing == previewing)
        return;
    m_isTrimPreviewing = previewing;
    Q_EMIT isTrimPreviewingChanged();
}
