#pragma once

#include "common/Date.h"
#include "models/RecorderState.h"
#include "models/RecordingType.h"
#include "services/RecordingControl.h"
#include "services/meetings/DetectedMeeting.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

class DeviceService;
class LibraryViewModel;
class MeetingService;
class PlayerService;
class ProcessingRuns;
class RecorderService;
class RecordingsStorage;
class Settings;
class StatusLine;

// The recording in progress and its sources: starting, pausing and stopping
// it, filing the stopped recording into the library, and the sources'
// choices, which reach the recorder at once, also while recording. It is the
// services' RecordingControl. Main thread only.
class RecorderViewModel : public QObject, public RecordingControl {
    Q_OBJECT

    Q_PROPERTY(RecorderState recorderState READ recorderState NOTIFY recorderStateChanged)
    Q_PROPERTY(double recordingDuration READ recordingDuration NOTIFY recordingDurationChanged)
    Q_PROPERTY(std::optional<QString> activeRecordingTitle READ activeRecordingTitle NOTIFY activeRecordingTitleChanged)
    Q_PROPERTY(RecordingType activeRecordingType READ activeRecordingType NOTIFY activeRecordingTypeChanged)
    Q_PROPERTY(QList<float> liveWaveformPoints READ liveWaveformPoints NOTIFY liveWaveformPointsChanged)
    Q_PROPERTY(float micLevel READ micLevel NOTIFY micLevelChanged)
    Q_PROPERTY(float sysLevel READ sysLevel NOTIFY sysLevelChanged)

    Q_PROPERTY(QString selectedMicID READ selectedMicID WRITE setSelectedMicID NOTIFY selectedMicIDChanged)
    Q_PROPERTY(bool isMicEnabled READ isMicEnabled WRITE setIsMicEnabled NOTIFY isMicEnabledChanged)
    Q_PROPERTY(bool isSystemAudioEnabled READ isSystemAudioEnabled WRITE setIsSystemAudioEnabled NOTIFY
                   isSystemAudioEnabledChanged)
    Q_PROPERTY(float micVolume READ micVolume WRITE setMicVolume NOTIFY micVolumeChanged)
    Q_PROPERTY(float sysVolume READ sysVolume WRITE setSysVolume NOTIFY sysVolumeChanged)
    Q_PROPERTY(bool isEchoGuardEnabled READ isEchoGuardEnabled WRITE setIsEchoGuardEnabled NOTIFY
                   isEchoGuardEnabledChanged)
    Q_PROPERTY(bool showPermissionBanner READ showPermissionBanner WRITE setShowPermissionBanner NOTIFY
                   showPermissionBannerChanged)

public:
    struct Collaborators {
        LibraryViewModel& library;
        ProcessingRuns& processing;
        StatusLine& status;
        RecorderService& recorder;
        DeviceService& deviceManager;
        MeetingService& meetingDetector;
        PlayerService& player;
        RecordingsStorage& storage;
        Settings& settings;
        std::chrono::milliseconds durationTickInterval{100};
    };
    explicit RecorderViewModel(Collaborators collaborators, QObject* parent = nullptr);
    ~RecorderViewModel() override;

    RecorderState recorderState() const override { return m_recorderState; }
    double recordingDuration() const override { return m_recordingDuration; }
    const std::optional<QString>& activeRecordingTitle() const { return m_activeRecordingTitle; }
    RecordingType activeRecordingType() const { return m_activeRecordingType; }
    // The recap format of the recording in progress and the next ones.
    void setActiveRecordingType(RecordingType type);
    const QList<float>& liveWaveformPoints() const { return m_liveWaveformPoints; }
    float micLevel() const { return m_micLevel; }
    float sysLevel() const { return m_sysLevel; }
    // Whether the window shows the live values (duration, levels, waveform);
    // true until told otherwise. Out of sight they are not copied from the
    // recorder, which keeps gathering the waveform; back in sight everything
    // is copied at once and then every 0.1 s again.
    void setLiveValuesShown(bool shown);
    // Copies the recorder's duration now when the live values are out of
    // sight (they are fresh otherwise), for a reader that shows it anyway.
    void refreshRecordingDuration();

    // Only when idle; returns before the recorder has started. A meeting's
    // start passes its suggested title and the meeting.
    void startNewRecording(const std::optional<QString>& customTitle = std::nullopt,
                           const std::optional<DetectedMeeting>& fromMeeting = std::nullopt) override;
    void pauseResumeRecording();
    // Only while recording or paused; the recording is saved once the recorder
    // has finished the file, after this returns.
    void stopRecording() override;
    // The title the recording in progress is saved (and its file named) under.
    void renameActiveRecording(const QString& newTitle);
    // "New Recording " and the next free number.
    QString nextDefaultTitle() const;

    const QString& selectedMicID() const { return m_selectedMicID; }
    void setSelectedMicID(const QString& id);
    bool isMicEnabled() const { return m_isMicEnabled; }
    void setIsMicEnabled(bool enabled);
    bool isSystemAudioEnabled() const { return m_isSystemAudioEnabled; }
    void setIsSystemAudioEnabled(bool enabled);
    float micVolume() const { return m_micVolume; }
    void setMicVolume(float volume);
    float sysVolume() const { return m_sysVolume; }
    void setSysVolume(float volume);
    bool isEchoGuardEnabled() const { return m_isEchoGuardEnabled; }
    void setIsEchoGuardEnabled(bool enabled);
    bool showPermissionBanner() const { return m_showPermissionBanner; }
    void setShowPermissionBanner(bool show);
    // The microphones to choose from and whether a sound server answers.
    DeviceService& deviceManager() const { return m_deviceManager; }

Q_SIGNALS:
    void recorderStateChanged();
    void recordingDurationChanged();
    void activeRecordingTitleChanged();
    void activeRecordingTypeChanged();
    void liveWaveformPointsChanged();
    void micLevelChanged();
    void sysLevelChanged();
    void selectedMicIDChanged();
    void isMicEnabledChanged();
    void isSystemAudioEnabledChanged();
    void micVolumeChanged();
    void sysVolumeChanged();
    void isEchoGuardEnabledChanged();
    void showPermissionBannerChanged();
    // The device list, the choice or whether a sound server is reachable
    // changed (one turn after the device manager).
    void deviceManagerChanged();
    // What the meeting banners show changed (one turn after the detector).
    void meetingDetectorChanged();
    // A recording is about to start: the merge and trim modes are left.
    void recordingStarting();

private:
    void readInputSettings();
    void setupRecorderCallbacks();
    void setupDeviceSubscription();
    void setupMeetingDetector();

    void runStartTask(const QString& captureFile);
    struct StopContext {
        std::optional<QString> captureFile;
        QString title;
        QString fileName;
        Date createdAt;
        // A default title chosen before the library was loaded, renumbered at filing.
        bool titleIsProvisional = false;
        // Why the recorder asked for the stop, when it did.
        std::optional<QString> interruption;
    };
    void runStopTask(StopContext context);
    void saveStoppedRecording(const StopContext& context, double duration, const QList<float>& amplitudes);
    void startDurationTimer();
    void stopDurationTimer();
    // One tick of the duration timer: the duration, levels and waveform.
    void refreshLiveValues();
    void setRecorderState(RecorderState state);
    void setRecordingDuration(double seconds);
    void setActiveRecordingTitle(const std::optional<QString>& title);
    void setLiveWaveformPoints(const QList<float>& points);

    LibraryViewModel& m_library;
    ProcessingRuns& m_processing;
    StatusLine& m_status;
    RecorderService& m_recorder;
    DeviceService& m_deviceManager;
    MeetingService& m_meetingDetector;
    PlayerService& m_player;
    RecordingsStorage& m_storage;
    Settings& m_settings;

    std::optional<QString> m_activeTempRecordingFileURL;
    std::optional<QString> m_activeRecordingTitle;
    std::optional<Date> m_activeRecordingStartDate;
    // The recording whose stop is under way.
    std::optional<StopContext> m_pendingStop;
    // The active title is a default picked before the library was loaded.
    bool m_activeTitleIsProvisional = false;
    // Why the recorder asked for the stop under way, for its message.
    std::optional<QString> m_interruptionReason;

    RecorderState m_recorderState = RecorderState::idle;
    double m_recordingDuration = 0;
    RecordingType m_activeRecordingType = RecordingType::meeting;
    QList<float> m_liveWaveformPoints;
    float m_micLevel = 0;
    float m_sysLevel = 0;
    QString m_selectedMicID;
    bool m_isMicEnabled = true;
    bool m_isSystemAudioEnabled = true;
    // Read at construction, the table's default when unset.
    float m_micVolume = 0;
    float m_sysVolume = 0;
    bool m_isEchoGuardEnabled = true;
    bool m_showPermissionBanner = false;

    QTimer m_durationTimer;
    // Between the start and the stop of a recording, whether or not it runs.
    bool m_durationTimerWanted = false;
    bool m_liveValuesShown = true;
};
