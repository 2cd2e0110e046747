#pragma once

#include "services/meetings/AudioInputProbe.h"
#include "services/meetings/DetectedMeeting.h"
#include "services/meetings/MeetingClock.h"
#include "services/meetings/RunningApplicationsProvider.h"
#include "services/meetings/ScanResult.h"
#include "services/meetings/WindowListProvider.h"

#include <QHash>
#include <QMetaObject>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class Settings;

// Notices calls held in other applications (window titles, running
// applications, microphone use), offers to record them and, for a recording
// started from such an offer, follows the call to its end and offers to stop
// with a 30-second countdown. Lives on the main thread.
//
// The main window's banners and the notifications follow the properties and
// the two "announced" signals, and answer through the four confirm/dismiss
// operations. The view model installs the two request callbacks and reports
// every recording's start and stop.
class MeetingDetector : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<DetectedMeeting> detectedMeeting READ detectedMeeting NOTIFY detectedMeetingChanged)
    Q_PROPERTY(std::optional<DetectedMeeting> meetingEndPrompt READ meetingEndPrompt NOTIFY meetingEndPromptChanged)
    Q_PROPERTY(std::optional<int> autoStopCountdown READ autoStopCountdown NOTIFY autoStopCountdownChanged)
    Q_PROPERTY(bool isDetectionEnabled READ isDetectionEnabled WRITE setIsDetectionEnabled NOTIFY
                   isDetectionEnabledChanged)

public:
    // Where the detector looks; a field left empty gets the system's own.
    struct Probes {
        std::unique_ptr<MeetingClock> clock;
        std::unique_ptr<WindowListProvider> windows;
        std::unique_ptr<RunningApplicationsProvider> applications;
        std::unique_ptr<AudioInputProbe> audioInputs;
    };

    static constexpr int cooldownSeconds = 120;
    static constexpr int absenceThreshold = 8;
    static constexpr int exitSignalWeight = 4;
    static constexpr int autoStopSeconds = 30;
    static constexpr std::chrono::milliseconds pollInterval{2500};

    // The process's one detector, made on first use on the main thread.
    static MeetingDetector& shared();

    // Reads "nimbrel_autoDetectMeetings" (on when never stored) and, when on,
    // starts monitoring.
    explicit MeetingDetector(Probes probes, Settings& settings, QObject* parent = nullptr);
    ~MeetingDetector() override;

    const std::optional<DetectedMeeting>& detectedMeeting() const { return m_detectedMeeting; }
    const std::optional<DetectedMeeting>& meetingEndPrompt() const { return m_meetingEndPrompt; }
    std::optional<int> autoStopCountdown() const { return m_autoStopCountdown; }
    bool isDetectionEnabled() const { return m_isDetectionEnabled; }
    // Stores the value and starts or stops monitoring, also when it did not change.
    void setIsDetectionEnabled(bool enabled);

    // Asked to start a recording for an accepted call, titled with its
    // suggestedRecordingTitle().
    void setOnStartRecordingRequested(std::function<void(const DetectedMeeting&)> callback);
    // Asked to stop and save the recording of a call that ended.
    void setOnStopRecordingRequested(std::function<void()> callback);

    void startMonitoring();
    void stopMonitoring();

    void notifyRecordingStarted(const std::optional<DetectedMeeting>& meeting, bool isFromDetectedMeeting);
    void notifyRecordingStopped();

    // Answers to the offer of a detected call.
    void confirmStartRecording();
    void dismissDetectedMeeting();
    // Answers to the stop offer: keep recording, or stop now.
    void dismissMeetingEndPrompt();
    void confirmStopRecording();

Q_SIGNALS:
    void detectedMeetingChanged();
    void meetingEndPromptChanged();
    void autoStopCountdownChanged();
    void isDetectionEnabledChanged();
    // A call is offered; the notifications post "Meeting Detected".
    void meetingDetectedAnnounced(const DetectedMeeting& meeting);
    // A tracked call ended; the notifications post "Meeting Ended".
    void meetingEndedAnnounced(const QString& appName, int autoStopSeconds);

private:
    void scheduleMeetingCheck();
    void performMeetingCheck();
    ScanResult scanActiveMeeting();
    void evaluateMeetingState(const std::optional<DetectedMeeting>& meeting, bool hasExplicitExitSignal);
    void followTrackedCall(const std::optional<DetectedMeeting>& meeting, bool hasExplicitExitSignal,
                           bool autoStopPrompt);
    void triggerMeetingEndFlow(const DetectedMeeting& meeting);
    void autoStopTick();

    void setupAudioListeners();
    void removeAudioListeners();
    void handleMicStateChanged();

    ScanResult scanWindowsForMeeting();
    bool isDefaultMicRunningSomewhere();
    QSet<QString> getActiveAudioInputBundleIDs();

    void setDetectedMeeting(const std::optional<DetectedMeeting>& meeting);
    void setMeetingEndPrompt(const std::optional<DetectedMeeting>& meeting);
    void setAutoStopCountdown(std::optional<int> seconds);
    void stopAutoStopTimer();
    bool preference(const QString& key) const;

    Probes m_probes;
    Settings& m_settings;

    std::optional<DetectedMeeting> m_detectedMeeting;
    std::optional<DetectedMeeting> m_meetingEndPrompt;
    std::optional<int> m_autoStopCountdown;
    bool m_isDetectionEnabled = false;
    std::function<void(const DetectedMeeting&)> m_onStartRecordingRequested;
    std::function<void()> m_onStopRecordingRequested;
    bool m_isRecording = false;
    bool m_isAutoTrackedMeetingRecording = false;
    std::optional<DetectedMeeting> m_activeMeetingDuringRecording;
    QHash<QString, Date> m_dismissedCooldowns; // by suggested title; entries are never removed
    int m_consecutiveAbsenceCount = 0;
    std::unique_ptr<MeetingClock::RepeatingTimer> m_autoStopTimer;
    QMetaObject::Connection m_micListener;
    std::unique_ptr<MeetingClock::RepeatingTimer> m_pollTimer;
};
