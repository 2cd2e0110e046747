#pragma once

#include "viewmodels/collaborators/PlayerService.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

class ClipboardService;
class DeviceService;
class EnhancerService;
class FocusService;
class LibraryViewModel;
class MeetingService;
class MergeSession;
class ProcessingRuns;
class RecapService;
class RecorderService;
class RecorderViewModel;
class RecordingsStorage;
class Settings;
class StartupRepair;
class StatusLine;
class TranscriptionService;
class TrimSession;
class TrimmerService;

// The application's state, owned in pieces: the status line, the library with
// its selection, the transcription, recap and enhancement runs, the recording
// in progress with its sources, merge mode, trim mode and the start-up repair.
// Views bind to the pieces they show; they drive the player directly through
// `playerManager()`. Main thread only.
class RecordingViewModel : public QObject {
    Q_OBJECT

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
    // null before. Its recorder is the shared RecordingControl of the services.
    static RecordingViewModel* shared();

    PlayerService& playerManager() const { return *m_playerManager; }
    // What the meeting banners show and where their answers go.
    MeetingService& meetingDetector() const { return *m_meetingDetector; }

    StatusLine& status() const { return *m_status; }
    LibraryViewModel& library() const { return *m_library; }
    ProcessingRuns& processing() const { return *m_processing; }
    RecorderViewModel& recorder() const { return *m_recorder; }
    MergeSession& merge() const { return *m_merge; }
    TrimSession& trim() const { return *m_trim; }
    StartupRepair& startupRepair() const { return *m_startupRepair; }

private:
    void wirePieces();

    // Collaborators.
    std::unique_ptr<DeviceService> m_deviceManager;
    std::unique_ptr<PlayerService> m_playerManager;
    std::unique_ptr<TranscriptionService> m_whisperEngine;
    std::unique_ptr<RecapService> m_recapEngine;
    std::unique_ptr<EnhancerService> m_voiceEnhancer;
    std::unique_ptr<MeetingService> m_meetingDetector;
    std::unique_ptr<TrimmerService> m_trimmer;
    std::unique_ptr<RecorderService> m_recorderService;
    std::unique_ptr<ClipboardService> m_clipboard;
    std::unique_ptr<FocusService> m_focus;

    // The pieces, each using only those before it; they go before the
    // collaborators they hold references to, the last made first.
    std::unique_ptr<StatusLine> m_status;
    std::unique_ptr<LibraryViewModel> m_library;
    std::unique_ptr<ProcessingRuns> m_processing;
    std::unique_ptr<RecorderViewModel> m_recorder;
    std::unique_ptr<MergeSession> m_merge;
    std::unique_ptr<TrimSession> m_trim;
    std::unique_ptr<StartupRepair> m_startupRepair;
};
