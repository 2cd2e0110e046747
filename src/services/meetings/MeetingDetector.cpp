#include "services/meetings/MeetingDetector.h"

#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "services/meetings/MeetingLog.h"
#include "services/meetings/MeetingScanRules.h"
#include "services/meetings/MeetingTables.h"
#include "services/meetings/SystemAudioInputProbe.h"
#include "services/meetings/SystemMeetingClock.h"
#include "services/meetings/SystemRunningApplicationsProvider.h"
#include "services/meetings/SystemWindowListProvider.h"

#include <QPointer>

#include <algorithm>

namespace {

// Whether any identifier contains `part`: one family of applications, such as Zoom's.
bool anyContains(const QSet<QString>& ids, const QString& part)
{
    return std::any_of(ids.cbegin(), ids.cend(), [&](const QString& id) { return id.contains(part); });
}

} // namespace

MeetingDetector& MeetingDetector::shared()
{
    static MeetingDetector* instance = new MeetingDetector(Probes{}, Settings::shared());
    return *instance;
}

MeetingDetector::MeetingDetector(Probes probes, Settings& settings, QObject* parent)
    : QObject(parent)
    , m_probes(std::move(probes))
    , m_settings(settings)
{
    if (!m_probes.clock)
        m_probes.clock = std::make_unique<SystemMeetingClock>();
    if (!m_probes.windows)
        m_probes.windows = std::make_unique<SystemWindowListProvider>();
    if (!m_probes.applications)
        m_probes.applications = std::make_unique<SystemRunningApplicationsProvider>();
    if (!m_probes.audioInputs)
        m_probes.audioInputs = std::make_unique<SystemAudioInputProbe>();

    m_isDetectionEnabled = preference(SettingsKeys::autoDetectMeetings);
    if (m_isDetectionEnabled)
        startMonitoring();
}

MeetingDetector::~MeetingDetector() = default;

void MeetingDetector::setIsDetectionEnabled(bool enabled)
{
    const bool changed = enabled != m_isDetectionEnabled;
    m_isDetectionEnabled = enabled;
    if (changed)
        Q_EMIT isDetectionEnabledChanged();
    m_settings.setValue(SettingsKeys::autoDetectMeetings, enabled);
    if (enabled)
        startMonitoring();
    else
        stopMonitoring();
}

void MeetingDetector::setOnStartRecordingRequested(std::function<void(const DetectedMeeting&)> callback)
{
    m_onStartRecordingRequested = std::move(callback);
}

void MeetingDetector::setOnStopRecordingRequested(std::function<void()> callback)
{
    m_onStopRecordingRequested = std::move(callback);
}

// Monitoring ---------------------------------------------------------------

void MeetingDetector::startMonitoring()
{
    stopMonitoring(); // starting twice leaves one timer and one listener
    setupAudioListeners();
    QPointer<MeetingDetector> self(this);
    m_pollTimer = m_probes.clock->repeat(pollInterval, [self] {
        if (self)
            self->scheduleMeetingCheck();
    });
    scheduleMeetingCheck();
}

void MeetingDetector::stopMonitoring()
{
    m_pollTimer.reset();
    removeAudioListeners();
    setDetectedMeeting(std::nullopt);
    setMeetingEndPrompt(std::nullopt);
}

void MeetingDetector::setupAudioListeners()
{
    removeAudioListeners();
    m_micListener = connect(m_probes.audioInputs.get(), &AudioInputProbe::defaultMicStateChanged, this,
                            &MeetingDetector::handleMicStateChanged);
}

void MeetingDetector::removeAudioListeners()
{
    if (m_micListener)
        disconnect(m_micListener);
    m_micListener = {};
}

void MeetingDetector::handleMicStateChanged()
{
    if (m_isDetectionEnabled)
        scheduleMeetingCheck();
}

void MeetingDetector::scheduleMeetingCheck()
{
    QMetaObject::invokeMethod(this, &MeetingDetector::performMeetingCheck, Qt::QueuedConnection);
}

// One check ----------------------------------------------------------------

void MeetingDetector::performMeetingCheck()
{
    if (!m_isDetectionEnabled)
        return;
    if (m_isRecording && !m_isAutoTrackedMeetingRecording)
        return; // ordinary recordings are never followed
    const ScanResult result = scanActiveMeeting();
    if (result.meeting)
        MeetingLog::print(QStringLiteral("Found meeting: ") + result.meeting->suggestedRecordingTitle());
    evaluateMeetingState(result.meeting, result.hasExplicitExitSignal);
}

ScanResult MeetingDetector::scanActiveMeeting()
{
    ScanResult windowResult = scanWindowsForMeeting();
    if (windowResult.meeting || windowResult.hasExplicitExitSignal)
        return windowResult;
    const bool micRunning = isDefaultMicRunningSomewhere();
    const QList<RunningApplication> applications = m_probes.applications->runningApplications();
    if (micRunning || MeetingScanRules::isZoomMeetingEngineRunning(applications))
        return {MeetingScanRules::scanRunningAppsForMeeting(applications, m_probes.clock->now()), false};
    return {};
}

ScanResult MeetingDetector::scanWindowsForMeeting()
{
    const std::optional<QList<MeetingWindow>> windows = m_probes.windows->windows();
    if (!windows)
        return {}; // no display to ask: only the running applications can tell
    return MeetingScanRules::scanWindowsForMeeting(*windows, m_probes.clock->now());
}

bool MeetingDetector::isDefaultMicRunningSomewhere()
{
    // Our own recording keeps the microphone running; counting it would keep
    // a tracked call alive for as long as its application stays open.
    return m_probes.audioInputs->isDefaultMicRunning(/*excludingOwnStreams=*/m_isRecording);
}

QSet<QString> MeetingDetector::getActiveAudioInputBundleIDs()
{
    return m_probes.audioInputs->activeAudioInputBundleIDs();
}

// The offer ----------------------------------------------------------------

void MeetingDetector::evaluateMeetingState(const std::optional<DetectedMeeting>& meeting, bool hasExplicitExitSignal)
{
    const bool autoStopPrompt = preference(SettingsKeys::autoStopMeetingPrompt);
    if (m_isRecording) {
        followTrackedCall(meeting, hasExplicitExitSignal, autoStopPrompt);
        return;
    }
    if (!meeting || hasExplicitExitSignal) {
        setDetectedMeeting(std::nullopt);
        return;
    }

    // A Meet tab can stay open after the call; only microphone use confirms it.
    if (meeting->appName == QStringLiteral("Google Meet")) {
        const QSet<QString> activeInputs = getActiveAudioInputBundleIDs();
        const bool confirmed = meeting->ownerBundleID
            ? activeInputs.contains(meeting->ownerBundleID->toLower())
            : activeInputs.intersects(MeetingTables::supportedMeetingBundleIDs());
        if (!confirmed && !isDefaultMicRunningSomewhere())
            return;
    }

    const QString title = meeting->suggestedRecordingTitle();
    const auto cooldown = m_dismissedCooldowns.constFind(title);
    if (cooldown != m_dismissedCooldowns.cend()
        && m_probes.clock->now().secondsSince(*cooldown) < cooldownSeconds)
        return;
    if (m_detectedMeeting && m_detectedMeeting->suggestedRecordingTitle() == title)
        return; // keeps the first detection time

    setDetectedMeeting(meeting);
    Q_EMIT meetingDetectedAnnounced(*meeting);
}

void MeetingDetector::confirmStartRecording()
{
    if (!m_detectedMeeting)
        return;
    const DetectedMeeting meeting = *m_detectedMeeting;
    setDetectedMeeting(std::nullopt);
    m_activeMeetingDuringRecording = meeting;
    m_isAutoTrackedMeetingRecording = true;
    if (m_onStartRecordingRequested)
        m_onStartRecordingRequested(meeting);
}

void MeetingDetector::dismissDetectedMeeting()
{
    if (m_detectedMeeting)
        m_dismissedCooldowns.insert(m_detectedMeeting->suggestedRecordingTitle(), m_probes.clock->now());
    setDetectedMeeting(std::nullopt);
}

void MeetingDetector::notifyRecordingStarted(const std::optional<DetectedMeeting>& meeting,
                                             bool isFromDetectedMeeting)
{
    m_isRecording = true;
    m_isAutoTrackedMeetingRecording = isFromDetectedMeeting;
    m_consecutiveAbsenceCount = 0;
    if (isFromDetectedMeeting)
        m_activeMeetingDuringRecording = meeting ? meeting : m_detectedMeeting;
    else
        m_activeMeetingDuringRecording.reset();
    setDetectedMeeting(std::nullopt);
    setMeetingEndPrompt(std::nullopt);
    setAutoStopCountdown(std::nullopt);
    stopAutoStopTimer();
}

void MeetingDetector::notifyRecordingStopped()
{
    // The call just recorded is not offered again at once.
    if (m_activeMeetingDuringRecording)
        m_dismissedCooldowns.insert(m_activeMeetingDuringRecording->suggestedRecordingTitle(),
                                    m_probes.clock->now());
    m_isRecording = false;
    m_isAutoTrackedMeetingRecording = false;
    m_activeMeetingDuringRecording.reset();
    setMeetingEndPrompt(std::nullopt);
    setAutoStopCountdown(std::nullopt);
    stopAutoStopTimer();
    m_consecutiveAbsenceCount = 0;
    setDetectedMeeting(std::nullopt);
}

// The end of a tracked call --------------------------------------------------

void MeetingDetector::followTrackedCall(const std::optional<DetectedMeeting>& meeting, bool hasExplicitExitSignal,
                                        bool autoStopPrompt)
{
    if (!m_isAutoTrackedMeetingRecording || !m_activeMeetingDuringRecording)
        return;
    const DetectedMeeting tracked = *m_activeMeetingDuringRecording;
    const QSet<QString> activeInputs = getActiveAudioInputBundleIDs();

    bool stillUsingMic = false;
    if (!tracked.ownerBundleID) {
        stillUsingMic = activeInputs.intersects(MeetingTables::supportedMeetingBundleIDs());
    } else {
        const QString owner = tracked.ownerBundleID->toLower();
        if (owner.contains(QStringLiteral("zoom"))) {
            stillUsingMic = anyContains(activeInputs, QStringLiteral("zoom"))
                || MeetingScanRules::isZoomMeetingEngineRunning(m_probes.applications->runningApplications());
        } else if (owner.contains(QStringLiteral("teams"))) {
            stillUsingMic = anyContains(activeInputs, QStringLiteral("teams"));
        } else {
            stillUsingMic = activeInputs.contains(owner);
        }
    }
    const bool sameApplication = meeting && meeting->appName == tracked.appName;

    if (stillUsingMic || sameApplication) {
        if (m_meetingEndPrompt) { // the call came back during the countdown
            stopAutoStopTimer();
            setAutoStopCountdown(std::nullopt);
            setMeetingEndPrompt(std::nullopt);
        }
        m_consecutiveAbsenceCount = 0;
        return;
    }

    if (hasExplicitExitSignal) {
        m_consecutiveAbsenceCount += exitSignalWeight;
        if (m_consecutiveAbsenceCount < exitSignalWeight)
            return;
    } else {
        m_consecutiveAbsenceCount += 1;
        if (m_consecutiveAbsenceCount < absenceThreshold)
            return;
    }
    if (autoStopPrompt && !m_meetingEndPrompt)
        triggerMeetingEndFlow(tracked);
    m_consecutiveAbsenceCount = 0;
}

void MeetingDetector::triggerMeetingEndFlow(const DetectedMeeting& meeting)
{
    setMeetingEndPrompt(meeting);
    setAutoStopCountdown(autoStopSeconds);
    Q_EMIT meetingEndedAnnounced(meeting.appName, autoStopSeconds);
    QPointer<MeetingDetector> self(this);
    m_autoStopTimer = m_probes.clock->repeat(std::chrono::seconds(1), [self] {
        if (self)
            QMetaObject::invokeMethod(self, &MeetingDetector::autoStopTick, Qt::QueuedConnection);
    });
}

void MeetingDetector::autoStopTick()
{
    if (!m_autoStopTimer)
        return; // a tick queued before the countdown was called off
    if (!m_autoStopCountdown || *m_autoStopCountdown < 2) {
        stopAutoStopTimer();
        setAutoStopCountdown(std::nullopt);
        setMeetingEndPrompt(std::nullopt);
        confirmStopRecording();
        return;
    }
    setAutoStopCountdown(*m_autoStopCountdown - 1);
}

void MeetingDetector::dismissMeetingEndPrompt()
{
    stopAutoStopTimer();
    setAutoStopCountdown(std::nullopt);
    setMeetingEndPrompt(std::nullopt);
    m_isAutoTrackedMeetingRecording = false;
    m_activeMeetingDuringRecording.reset();
    m_consecutiveAbsenceCount = 0;
}

void MeetingDetector::confirmStopRecording()
{
    stopAutoStopTimer();
    setAutoStopCountdown(std::nullopt);
    setMeetingEndPrompt(std::nullopt);
    m_isAutoTrackedMeetingRecording = false;
    m_activeMeetingDuringRecording.reset();
    if (m_onStopRecordingRequested)
        m_onStopRecordingRequested();
}

// State --------------------------------------------------------------------

void MeetingDetector::setDetectedMeeting(const std::optional<DetectedMeeting>& meeting)
{
    if (m_detectedMeeting == meeting)
        return;
    m_detectedMeeting = meeting;
    Q_EMIT detectedMeetingChanged();
}

void MeetingDetector::setMeetingEndPrompt(const std::optional<DetectedMeeting>& meeting)
{
    if (m_meetingEndPrompt == meeting)
        return;
    m_meetingEndPrompt = meeting;
    Q_EMIT meetingEndPromptChanged();
}

void MeetingDetector::setAutoStopCountdown(std::optional<int> seconds)
{
    if (m_autoStopCountdown == seconds)
        return;
    m_autoStopCountdown = seconds;
    Q_EMIT autoStopCountdownChanged();
}

void MeetingDetector::stopAutoStopTimer()
{
    m_autoStopTimer.reset();
}

bool MeetingDetector::preference(const QString& key) const
{
    const QVariant value = m_settings.value(key);
    return value.isValid() ? value.toBool() : true; // on when never stored
}
