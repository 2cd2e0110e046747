#include "viewmodels/RecordingViewModel.h"

#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/StartupRepair.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/TrimSession.h"
#include "viewmodels/adapters/RealCollaborators.h"
#include "viewmodels/collaborators/ClipboardService.h"
#include "viewmodels/collaborators/DeviceService.h"
#include "viewmodels/collaborators/EnhancerService.h"
#include "viewmodels/collaborators/FocusService.h"
#include "viewmodels/collaborators/MeetingService.h"
#include "viewmodels/collaborators/RecapService.h"
#include "viewmodels/collaborators/RecorderService.h"
#include "viewmodels/collaborators/TranscriptionService.h"
#include "viewmodels/collaborators/TrimmerService.h"

#include <QPointer>
#include <QTimer>

#include <utility>

namespace {

QPointer<RecordingViewModel> sharedInstance;

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
    m_recorderService = std::move(collaborators.recorder);
    m_clipboard = std::move(collaborators.clipboard);
    m_focus = std::move(collaborators.focus);
    RecordingsStorage& storage = collaborators.storage ? *collaborators.storage : RecordingsStorage::shared();
    Settings& settings = collaborators.settings ? *collaborators.settings : Settings::shared();

    m_status = std::make_unique<StatusLine>(collaborators.statusClearDelay);
    // The load selects the newest recording unless one is being recorded.
    m_library = std::make_unique<LibraryViewModel>(LibraryViewModel::Collaborators{
        storage, *m_playerManager, m_focus.get(), *m_status,
        [this] { return m_recorder->recorderState() == RecorderState::idle; }});
    m_processing = std::make_unique<ProcessingRuns>(ProcessingRuns::Collaborators{
        *m_library, *m_status, *m_whisperEngine, *m_recapEngine, *m_voiceEnhancer, m_clipboard.get(), storage,
        settings});
    m_recorder = std::make_unique<RecorderViewModel>(RecorderViewModel::Collaborators{
        *m_library, *m_processing, *m_status, *m_recorderService, *m_deviceManager, *m_meetingDetector,
        *m_playerManager, storage, settings, collaborators.durationTickInterval});
    m_merge = std::make_unique<MergeSession>(MergeSession::Collaborators{
        *m_library, *m_processing, *m_recorder, *m_status, *m_playerManager, storage});
    m_trim = std::make_unique<TrimSession>(TrimSession::Collaborators{
        *m_library, *m_processing, *m_recorder, *m_merge, *m_status, *m_playerManager, *m_trimmer, storage});
    m_startupRepair = std::make_unique<StartupRepair>(
        StartupRepair::Collaborators{*m_library, *m_processing, *m_whisperEngine, storage});
    wirePieces();

    // Selects the first recording and starts the start-up repair pass once
    // the library has arrived.
    m_library->load(std::move(collaborators.beforeLibraryLoad));

    if (!sharedInstance) {
        sharedInstance = this;
        RecordingControl::setShared(m_recorder.get());
    }
}

RecordingViewModel::~RecordingViewModel()
{
    if (RecordingControl::shared() == m_recorder.get())
        RecordingControl::setShared(nullptr);
    // The members go in reverse: each piece before those it uses, all of them
    // before the collaborators.
}

RecordingViewModel* RecordingViewModel::shared()
{
    return sharedInstance.data();
}

void RecordingViewModel::wirePieces()
{
    // A deleted recording's runs stop and it leaves merge mode, in that order.
    connect(m_library.get(), &LibraryViewModel::recordingDeleting, m_processing.get(), &ProcessingRuns::cancelAll);
    connect(m_library.get(), &LibraryViewModel::recordingDeleting, m_merge.get(), &MergeSession::forgetRecording);
    // On a later turn, so the list is painted before the pass takes the disk.
    connect(m_library.get(), &LibraryViewModel::libraryLoaded, this,
            [this] { QTimer::singleShot(0, this, [this] { m_startupRepair->start(); }); });
    // A recording leaves the merge and trim modes.
    connect(m_recorder.get(), &RecorderViewModel::recordingStarting, this, [this] {
        if (m_merge->isMergeModeActive())
            m_merge->leaveMergeMode();
        if (m_trim->isTrimmingActive())
            m_trim->cancelTrimming();
    });
}
