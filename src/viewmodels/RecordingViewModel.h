#pragma once

#include "audio/AudioDevice.h"
#include "audio/RecorderState.h"
#include "common/Date.h"
#include "models/RecordingItem.h"
#include "models/RecordingType.h"
#include "services/RecordingControl.h"
#include "services/meetings/DetectedMeeting.h"
#include "viewmodels/DetailViewTab.h"
#include "viewmodels/LibrarySearch.h"
#include "viewmodels/collaborators/DeviceService.h"
#include "viewmodels/collaborators/PlayerService.h"

#include <QFuture>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class ClipboardService;
class EnhancerService;
class FocusService;
class LibraryLoader;
class MeetingService;
class RecapService;
class RecorderService;
class RecordingsStorage;
class Settings;
class StartupRepairWorker;
class TranscriptionService;
class TrimmerService;

// The one object that owns the application's state: the recording in progress,
// the library with its selection, the per-recording transcription, recap and
// enhancement runs, the sources and the status message. Main thread only.
//
// Views read the properties (each has its own change signal) and act through
// the operations; they drive the player directly through `playerManager()`
// and list microphones from `deviceManager()`. Model state and downloads of
// the engines, and the meeting banners, come from the shared engines and the
// shared meeting detector themselves; `meetingDetectorChanged` and
// `deviceManagerChanged` repeat their changes one event-loop turn later.
class RecordingViewModel : public QObject, public RecordingControl {
    Q_OBJECT

    // Library and selection.
    Q_PROPERTY(QList<RecordingItem> recordings READ recordings NOTIFY recordingsChanged)
    Q_PROPERTY(QList<RecordingItem> filteredRecordings READ filteredRecordings NOTIFY filteredRecordingsChanged)
    Q_PROPERTY(std::optional<RecordingItem> selectedRecording READ selectedRecording WRITE setSelectedRecording NOTIFY
                   selectedRecordingChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool isSearchFocused READ isSearchFocused WRITE setIsSearchFocused NOTIFY isSearchFocusedChanged)
    Q_PROPERTY(bool isRenamingActive READ isRenamingActive WRITE setIsRenamingActive NOTIFY isRenamingActiveChanged)
    Q_PROPERTY(DetailViewTab activeDetailTab READ activeDetailTab WRITE setActiveDetailTab NOTIFY activeDetailTabChanged)
    Q_PROPERTY(QSet<QUuid> transcribingRecordingIDs READ transcribingRecordingIDs NOTIFY transcribingRecordingIDsChanged)
    Q_PROPERTY(QSet<QUuid> enhancingRecordingIDs READ enhancingRecordingIDs NOTIFY enhancingRecordingIDsChanged)
    Q_PROPERTY(QSet<QUuid> recappingRecordingIDs READ recappingRecordingIDs NOTIFY recappingRecordingIDsChanged)
    // Whole percent done of a running transcription or enhancement, by
    // recording; absent until its engine gives a first figure.
    Q_PROPERTY(QHash<QUuid, int> transcriptionProgress READ transcriptionProgress NOTIFY transcriptionProgressChanged)
    Q_PROPERTY(QHash<QUuid, int> enhancementProgress READ enhancementProgress NOTIFY enhancementProgressChanged)
    Q_PROPERTY(bool isPlayingEnhanced READ isPlayingEnhanced NOTIFY isPlayingEnhancedChanged)
    // The one status line; cleared 4 seconds after it was set.
    Q_PROPERTY(std::optional<QString> exportMessage READ exportMessage NOTIFY exportMessageChanged)
    Q_PROPERTY(bool showPermissionBanner READ showPermissionBanner WRITE setShowPermissionBanner NOTIFY
                   showPermissionBannerChanged)

    // The recording in progress.
    Q_PROPERTY(RecorderState recorderState READ recorderState NOTIFY recorderStateChanged)
    Q_PROPERTY(double recordingDuration READ recordingDuration NOTIFY recordingDurationChanged)
    Q_PROPERTY(std::optional<QString> activeRecordingTitle READ activeRecordingTitle NOTIFY activeRecordingTitleChanged)
    Q_PROPERTY(RecordingType activeRecordingType READ activeRecordingType NOTIFY activeRecordingTypeChanged)
    Q_PROPERTY(QList<float> liveWaveformPoints READ liveWaveformPoints NOTIFY liveWaveformPointsChanged)
    Q_PROPERTY(float micLevel READ micLevel NOTIFY micLevelChanged)
    Q_PROPERTY(float sysLevel READ sysLevel NOTIFY sysLevelChanged)

    // Sources; every write reaches the recorder at once, also while recording.
    Q_PROPERTY(QString selectedMicID READ selectedMicID WRITE setSelectedMicID NOTIFY selectedMicIDChanged)
    Q_PROPERTY(bool isMicEnabled READ isMicEnabled WRITE setIsMicEnabled NOTIFY isMicEnabledChanged)
    Q_PROPERTY(bool isSystemAudioEnabled READ isSystemAudioEnabled WRITE setIsSystemAudioEnabled NOTIFY
                   isSystemAudioEnabledChanged)
    Q_PROPERTY(float micVolume READ micVolume WRITE setMicVolume NOTIFY micVolumeChanged)
    Q_PROPERTY(float sysVolume READ sysVolume WRITE setSysVolume NOTIFY sysVolumeChanged)
    Q_PROPERTY(bool isEchoGuardEnabled READ isEchoGuardEnabled WRITE setIsEchoGuardEnabled NOTIFY
                   isEchoGuardEnabledChanged)

    // Merge mode.
    Q_PROPERTY(bool isMergeModeActive READ isMergeModeActive NOTIFY isMergeModeActiveChanged)
    Q_PROPERTY(std::optional<RecordingItem> mergeSourceRecording READ mergeSourceRecording NOTIFY
                   mergeSourceRecordingChanged)
    Q_PROPERTY(QSet<QUuid> mergeSelectedIDs READ mergeSelectedIDs NOTIFY mergeSelectedIDsChanged)
    Q_PROPERTY(bool isMerging READ isMerging NOTIFY isMergingChanged)
    Q_PROPERTY(std::optional<QString> mergeProgressText READ mergeProgressText NOTIFY mergeProgressTextChanged)

    // Trim mode.
    Q_PROPERTY(bool isTrimmingActive READ isTrimmingActive NOTIFY isTrimmingActiveChanged)
    Q_PROPERTY(std::optional<RecordingItem> trimmingTargetItem READ trimmingTargetItem NOTIFY trimmingTargetItemChanged)
    Q_PROPERTY(double trimStartTime READ trimStartTime WRITE setTrimStartTime NOTIFY trimStartTimeChanged)
    Q_PROPERTY(double trimEndTime READ trimEndTime WRITE setTrimEndTime NOTIFY trimEndTimeChanged)
    Q_PROPERTY(bool isTrimPreviewing READ isTrimPreviewing NOTIFY isTrimPreviewingChanged)
    Q_PROPERTY(bool isTrimmingProcessing READ isTrimmingProcessing NOTIFY isTrimmingProcessingChanged)
    Q_PROPERTY(std::optional<QString> trimmingProgressText READ trimmingProgressText NOTIFY trimmingProgressTextChanged)

public:
    // Everything the view model works with. A collaborator left empty gets the
    // real one; the clipboard and focus hooks need a GUI and stay optional.
    struct Collaborators {
        // Out of line, so users need not see every interface.
        Collaborators();
        Collaborators(Collaborators&&) noexcept;
        Collaborators& operator=(Collaborators&&) noexcept;
        ~Collaborators();

        std::unique_ptr<DeviceService> deviceManager;
        std::unique_ptr<PlayerService> playerManager;
        std::unique_ptr<RecorderService> recorder;
        std::unique_ptr<TranscriptionService> whisperEngine;
        std::unique_ptr<RecapService> recapEngine;
        std::unique_ptr<EnhancerService> voiceEnhancer;
        std::unique_ptr<MeetingService> meetingDetector;
        std::unique_ptr<TrimmerService> trimmer;
        std::unique_ptr<ClipboardService> clipboard;
        std::unique_ptr<FocusService> focus;
        RecordingsStorage* storage = nullptr; // the shared library when empty
        Settings* settings = nullptr; // the shared settings when empty
        std::chrono::milliseconds statusClearDelay{4000};
        std::chrono::milliseconds durationTickInterval{100};
        // Runs on the library load's thread before it reads anything; tests
        // hold the load back with it.
        std::function<void()> beforeLibraryLoad;
    };

    // With the real collaborators.
    RecordingViewModel();
    explicit RecordingViewModel(Collaborators collaborators, QObject* parent = nullptr);
    ~RecordingViewModel() override;

    // The first view model made in this process, once its construction ended;
    // null before. It is also the shared RecordingControl of the services.
    static RecordingViewModel* shared();

    PlayerService& playerManager() const { return *m_playerManager; }
    DeviceService& deviceManager() const { return *m_deviceManager; }
    // What the meeting banners show and where their answers go.
    MeetingService& meetingDetector() const { return *m_meetingDetector; }

    // --- Library and selection ---
    // The library is read on a worker from the first turn of the event loop,
    // once the window is up: it stays empty, and nothing is saved over the
    // index, until the whole of it has arrived. A recording can start
    // meanwhile; it is filed once it has.
    bool isLibraryLoaded() const { return m_isLibraryLoaded; }
    // Waits at most `limit` for the library and takes it in now, without the
    // event loop (a quit); true when it is loaded.
    bool awaitLibrary(std::chrono::milliseconds limit);
    const QList<RecordingItem>& recordings() const { return m_recordings; }
    // The library filtered by `searchText` (title, transcript, segment texts).
    QList<RecordingItem> filteredRecordings() const;
    const std::optional<RecordingItem>& selectedRecording() const { return m_selectedRecording; }
    // Loads the recording into the player unless its file is already loaded,
    // and takes the keyboard from the search field and every other field, so
    // that Space plays: this is the user's (or the start's) choice.
    void setSelectedRecording(const std::optional<RecordingItem>& recording);
    const QString& searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    bool isSearchFocused() const { return m_isSearchFocused; }
    void setIsSearchFocused(bool focused);
    bool isRenamingActive() const { return m_isRenamingActive; }
    void setIsRenamingActive(bool active);
    DetailViewTab activeDetailTab() const { return m_activeDetailTab; }
    void setActiveDetailTab(DetailViewTab tab);
    const QSet<QUuid>& transcribingRecordingIDs() const { return m_transcribingRecordingIDs; }
    const QSet<QUuid>& enhancingRecordingIDs() const { return m_enhancingRecordingIDs; }
    const QSet<QUuid>& recappingRecordingIDs() const { return m_recappingRecordingIDs; }
    const QHash<QUuid, int>& transcriptionProgress() const { return m_transcriptionProgress; }
    const QHash<QUuid, int>& enhancementProgress() const { return m_enhancementProgress; }
    bool isPlayingEnhanced() const { return m_isPlayingEnhanced; }
    const std::optional<QString>& exportMessage() const { return m_exportMessage; }
    bool showPermissionBanner() const { return m_showPermissionBanner; }
    void setShowPermissionBanner(bool show);

    // Selects the recording and always reloads its file: stopped, at 0.
    void selectRecording(const RecordingItem& item);
    // Switches the selected recording between its own and its enhanced file,
    // keeping the position and whether it plays.
    void setPlayingEnhanced(bool playEnhanced);
    // Cancels its runs, removes its files and entry, and selects the first
    // remaining recording when nothing is selected then.
    void deleteRecording(const RecordingItem& item);
    // The file name stays.
    void renameRecording(const RecordingItem& item, const QString& newTitle);
    // The title the recording in progress is saved (and its file named) under.
    void renameActiveRecording(const QString& newTitle);
    void exportToDownloads(const RecordingItem& item);
    // Waits until every save of the library is on disk (at quit, and before a
    // second instance may take over), trying once more when the last write
    // failed; false when `limit` passed first. A load still running is waited
    // for first, within the same limit, and the recordings stopped meanwhile
    // are filed.
    bool waitForLibrarySaves(std::chrono::milliseconds limit);

    // --- Transcription, recap, enhancement: one run of each kind per recording ---
    // Clears the recap, transcribes, then writes the recap when automatic recaps
    // are on and the model is present.
    void transcribeRecording(const RecordingItem& item);
    // Needs a transcript; the type is the given one, else the recording's, else
    // meeting, and is stored on the recording.
    void generateRecap(const RecordingItem& item, std::optional<RecordingType> type = std::nullopt);
    void enhanceRecording(const RecordingItem& item);
    // Stop the recording's run of that kind, which then applies nothing: the
    // recording stays as it was ("Transcription cancelled", "Enhancement
    // cancelled"). Nothing when none runs.
    void cancelTranscription(const RecordingItem& item);
    void cancelEnhancement(const RecordingItem& item);
    void copyRecap(const QString& text);
    void copyTranscript(const QString& text);

    // --- The recording in progress ---
    RecorderState recorderState() const override { return m_recorderState; }
    double recordingDuration() const override { return m_recordingDuration; }
    const std::optional<QString>& activeRecordingTitle() const { return m_activeRecordingTitle; }
    RecordingType activeRecordingType() const { return m_activeRecordingType; }
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
    // "New Recording " and the next free number.
    QString nextDefaultTitle() const;
    // The recap format of the recording in progress and the next ones.
    void setActiveRecordingType(RecordingType type);
    void updateRecordingType(const RecordingItem& item, RecordingType type);

    // --- Sources ---
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

    // --- Merge and trim modes ---
    bool isMergeModeActive() const { return m_isMergeModeActive; }
    const std::optional<RecordingItem>& mergeSourceRecording() const { return m_mergeSourceRecording; }
    const QSet<QUuid>& mergeSelectedIDs() const { return m_mergeSelectedIDs; }
    bool isMerging() const { return m_isMerging; }
    const std::optional<QString>& mergeProgressText() const { return m_mergeProgressText; }
    // The user's Cancel: leaves merge mode and stops a merge under way, which
    // removes what it wrote, files nothing and ends with "Merge cancelled".
    void cancelMergeMode();
    // Merge mode, only while idle: `item` is the source the others join.
    void startMergeMode(const RecordingItem& item);
    // Picks or unpicks another recording, at most five.
    void toggleMergeSelection(const RecordingItem& item);
    // Joins the source and the picks, oldest first, into a new recording that
    // is selected and transcribed; returns while the merger works. Nothing
    // happens while a merge runs, also one whose merge mode was left.
    void executeMerge();

    bool isTrimmingActive() const { return m_isTrimmingActive; }
    const std::optional<RecordingItem>& trimmingTargetItem() const { return m_trimmingTargetItem; }
    double trimStartTime() const { return m_trimStartTime; }
    void setTrimStartTime(double seconds);
    double trimEndTime() const { return m_trimEndTime; }
    void setTrimEndTime(double seconds);
    bool isTrimPreviewing() const { return m_isTrimPreviewing; }
    bool isTrimmingProcessing() const { return m_isTrimmingProcessing; }
    const std::optional<QString>& trimmingProgressText() const { return m_trimmingProgressText; }
    // Pauses the player and leaves trim mode; the range stays. A cut under
    // way goes on and is filed when it ends.
    void cancelTrimming();
    // The trim bar's Cancel: leaves trim mode and stops the target's cut
    // under way, which removes what it wrote, changes nothing and ends with
    // "Trim cancelled".
    void cancelCut();
    // Only when idle: leaves merge mode, pauses, selects the recording and
    // takes the whole of it (at least one second) as the range.
    void startTrimming(const RecordingItem& item);
    // Plays the range from its start, or stops that preview; the preview
    // stops and rewinds by itself at the end of the range.
    void toggleTrimPreview();
    // Cuts the range of the recording's own file, as a new "(Trimmed)"
    // recording or in its place. Returns at once; the cut runs on workers.
    // Nothing while a cut of the recording runs; a range below half a second,
    // or one that keeps the whole recording, is refused with a message.
    void executeTrim(bool saveAsNew);

    // --- Waveforms read back from audio files ---
    // `targetCount` bars in 0.1 ... 1.0 from the file's audio, or nothing when
    // it cannot be read. Decodes the whole file: call it from a worker.
    static std::optional<QList<float>> extractWaveformFromFile(const QString& path, int targetCount);

Q_SIGNALS:
    void recordingsChanged();
    void filteredRecordingsChanged();
    void selectedRecordingChanged();
    void searchTextChanged();
    void isSearchFocusedChanged();
    void isRenamingActiveChanged();
    void activeDetailTabChanged();
    void transcribingRecordingIDsChanged();
    void enhancingRecordingIDsChanged();
    void recappingRecordingIDsChanged();
    void transcriptionProgressChanged();
    void enhancementProgressChanged();
    void isPlayingEnhancedChanged();
    void exportMessageChanged();
    void showPermissionBannerChanged();
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
    void isMergeModeActiveChanged();
    void mergeSourceRecordingChanged();
    void mergeSelectedIDsChanged();
    void isMergingChanged();
    void mergeProgressTextChanged();
    void isTrimmingActiveChanged();
    void trimmingTargetItemChanged();
    void trimStartTimeChanged();
    void trimEndTimeChanged();
    void isTrimPreviewingChanged();
    void isTrimmingProcessingChanged();
    void trimmingProgressTextChanged();
    // The device list, the choice or whether a sound server is reachable
    // changed (one turn after the device manager).
    void deviceManagerChanged();
    // What the meeting banners show changed (one turn after the detector).
    void meetingDetectorChanged();
    // The library has been read and is listed (`isLibraryLoaded`).
    void libraryLoaded();
    // The start-up pass has looked at every recording and applied what it found.
    void startupRepairFinished();

private:
    enum class ProcessingKind { transcription, recap, enhancement };
    struct ProcessingTask {
        QFuture<void> future;
        std::shared_ptr<bool> cancelled;
        ProcessingKind kind = ProcessingKind::transcription;
    };

    // Stores `value` and emits `changed` when it differs; true when it did.
    template <typename T>
    bool assign(T& field, const T& value, void (RecordingViewModel::*changed)())
    {
        if (field == value)
            return false;
        field = value;
        Q_EMIT(this->*changed)();
        return true;
    }

    // Construction and subscriptions.
    void readInputSettings();
    void setupRecorderCallbacks();
    void setupDeviceSubscription();
    void setupPlayerSubscription();
    void setupMeetingDetector();

    // Status message. A held one (why a recording stopped or lost a source)
    // keeps its full time; others arriving meanwhile wait, the latest after it.
    void showStatus(const QString& text);
    void showHeldStatus(const QString& text);
    void clearToastAfterDelay();
    void setExportMessage(const std::optional<QString>& message);

    // Recording lifecycle.
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

    // Library.
    void setRecordings(const QList<RecordingItem>& recordings);
    void loadLibrary(std::function<void()> beforeLoad);
    void applyLoadedLibrary(QList<RecordingItem> loaded, const QStringList& messages);
    // Runs `work` now when the library is loaded, else once it is.
    void whenLibraryLoaded(std::function<void()> work);
    // Hands the library to the writer; nothing before it is loaded.
    void saveLibrary();
    // Works out ahead, on a worker, what the first searches would read every transcript for.
    void prepareSearch();
    void libraryWriteFinished(const QString& failure);
    // Applies `change` to the library entry with `id`, reassigns the selection
    // when it is that entry and saves; false (nothing written) when it is gone.
    bool updateLibraryItem(const QUuid& id, const std::function<void(RecordingItem&)>& change,
                           const std::function<void()>& afterSelection = {});
    std::optional<RecordingItem> libraryItem(const QUuid& id) const;
    // Who changed the selection: the user (or the start), who is done with
    // any field, or the library behind the user's back, which never takes
    // the keyboard from a field the user types in.
    enum class SelectionBy { user, libraryUpdate };
    void assignSelection(const std::optional<RecordingItem>& recording, SelectionBy by);
    // Loads the selected recording into the player, also when it is loaded
    // already if `alwaysReload`.
    void selectionChanged(bool alwaysReload, SelectionBy by);
    QString playbackFile(const RecordingItem& item) const;
    void scheduleFocusRelease();
    void setIsPlayingEnhanced(bool value);

    // Processing runs.
    void registerProcessingTask(const QUuid& id, ProcessingTask task);
    void cancelProcessingTasks(const QUuid& id);
    void cancelProcessingKind(const QUuid& id, ProcessingKind kind);
    void setProgress(QHash<QUuid, int>& progress, void (RecordingViewModel::*changed)(), const QUuid& id,
                     std::optional<int> percent);
    void startAutomaticRecap(const QUuid& id);
    bool isRecapModelPresent() const;
    void setBusy(QSet<QUuid>& set, void (RecordingViewModel::*signal)(), const QUuid& id, bool busy);

    // Trim mode.
    void setIsTrimPreviewing(bool previewing);
    struct TrimJob;
    struct TrimCut;
    void finishTrim(const TrimJob& job, const TrimCut& cut);
    void replaceWithCut(const TrimJob& job, const TrimCut& cut);
    void saveCutAsNew(const TrimJob& job, const TrimCut& cut);
    void failTrim(const QString& reason);
    void leaveTrimModeOf(const QUuid& id);
    // `isTrimmingProcessing` and its line from the trim target's cut, if any.
    void refreshTrimProcessing();

    // Start-up repair: runs once, on a worker, after construction.
    void checkAndRepairRecordings();
    std::unique_ptr<StartupRepairWorker> m_startupRepair;

    // Merge mode.
    struct MergeJob {
        QString tempFile;
        QString title;
        QString fileName;
        Date createdAt;
        int joinedCount = 0;
    };
    void mergeFinished(const MergeJob& job, double duration);
    void fileMergedRecording(const MergeJob& job, const QString& fileName, double duration,
                             const QList<float>& waveform);
    void mergeFailed(const MergeJob& job, const QString& reason);
    // Removes the temporary file and, when it was already moved into the
    // library folder, `filedPath`.
    void mergeCancelled(const MergeJob& job, const QString& filedPath);
    void endMerge();
    // Leaves merge mode without touching a merge under way (a recording or
    // trim mode starts, the source is deleted).
    void leaveMergeMode();
    void setMergeProgressText(const std::optional<QString>& text);

    // Collaborators.
    std::unique_ptr<DeviceService> m_deviceManager;
    std::unique_ptr<PlayerService> m_playerManager;
    std::unique_ptr<TranscriptionService> m_whisperEngine;
    std::unique_ptr<RecapService> m_recapEngine;
    std::unique_ptr<EnhancerService> m_voiceEnhancer;
    std::unique_ptr<MeetingService> m_meetingDetector;
    std::unique_ptr<TrimmerService> m_trimmer;
    std::unique_ptr<RecorderService> m_recorder;
    std::unique_ptr<ClipboardService> m_clipboard;
    std::unique_ptr<FocusService> m_focus;
    RecordingsStorage* m_storage = nullptr;
    Settings* m_settings = nullptr;

    // The recording in progress.
    std::optional<QString> m_activeTempRecordingFileURL;
    std::optional<QString> m_activeRecordingTitle;
    std::optional<Date> m_activeRecordingStartDate;
    // The recording whose stop is under way.
    std::optional<StopContext> m_pendingStop;
    // The active title is a default picked before the library was loaded.
    bool m_activeTitleIsProvisional = false;

    QList<RecordingItem> m_recordings;
    std::optional<RecordingItem> m_selectedRecording;
    QString m_searchText;
    // What the search keeps between keystrokes; the filter itself is a read.
    mutable LibrarySearch m_librarySearch;
    bool m_isSearchFocused = true;
    bool m_isRenamingActive = false;
    DetailViewTab m_activeDetailTab = DetailViewTab::waveform;
    QSet<QUuid> m_transcribingRecordingIDs;
    QSet<QUuid> m_enhancingRecordingIDs;
    QSet<QUuid> m_recappingRecordingIDs;
    QHash<QUuid, int> m_transcriptionProgress;
    QHash<QUuid, int> m_enhancementProgress;
    bool m_isPlayingEnhanced = false;
    QString m_selectedMicID;
    bool m_isMicEnabled = true;
    bool m_isSystemAudioEnabled = true;
    float m_micVolume = 1.4f;
    float m_sysVolume = 0.9f;
    bool m_isEchoGuardEnabled = true;
    float m_micLevel = 0;
    float m_sysLevel = 0;
    RecorderState m_recorderState = RecorderState::idle;
    double m_recordingDuration = 0;
    QList<float> m_liveWaveformPoints;
    bool m_isMergeModeActive = false;
    std::optional<RecordingItem> m_mergeSourceRecording;
    QSet<QUuid> m_mergeSelectedIDs;
    bool m_isMerging = false;
    std::optional<QString> m_mergeProgressText;
    // The merger's run while it works, and whether the user cancelled it.
    QFuture<double> m_mergeWork;
    bool m_mergeCancelRequested = false;
    bool m_isTrimmingActive = false;
    std::optional<RecordingItem> m_trimmingTargetItem;
    double m_trimStartTime = 0;
    double m_trimEndTime = 0;
    bool m_isTrimPreviewing = false;
    bool m_isTrimmingProcessing = false;
    std::optional<QString> m_trimmingProgressText;
    // The cuts under way, by recording (also after trim mode was left).
    struct TrimRun {
        QFuture<double> work;
        QString progress;
        bool cancelRequested = false;
    };
    QHash<QUuid, TrimRun> m_trimRuns;
    RecordingType m_activeRecordingType = RecordingType::meeting;
    QHash<QUuid, QList<ProcessingTask>> m_activeProcessingTasks;
    std::optional<QString> m_exportMessage;
    bool m_statusHeld = false;
    std::optional<QString> m_deferredStatus;
    // Why the recorder asked for the stop under way, for its message.
    std::optional<QString> m_interruptionReason;
    bool m_showPermissionBanner = false;
    // A failing write of the library is reported once, until one succeeds.
    bool m_libraryWriteFailing = false;
    std::unique_ptr<LibraryLoader> m_libraryLoader;
    bool m_isLibraryLoaded = false;
    // What waits for the library: recordings stopped before it was loaded.
    QList<std::function<void()>> m_afterLibraryLoad;

    QTimer m_durationTimer;
    // Between the start and the stop of a recording, whether or not it runs.
    bool m_durationTimerWanted = false;
    bool m_liveValuesShown = true;
    QTimer m_statusClearTimer;
};
