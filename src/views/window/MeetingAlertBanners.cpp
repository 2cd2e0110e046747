#include "views/window/MeetingAlertBanners.h"

#include "viewmodels/collaborators/MeetingService.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/logic/MeetingBannerRules.h"
#include "views/window/MeetingAlertBanner.h"

namespace {

constexpr int sideMargin = 24;

} // namespace

MeetingAlertBanners::MeetingAlertBanners(RecordingViewModel& vm, QWidget* window)
    : QObject(window)
    , m_vm(vm)
    , m_window(window)
    , m_detected(new MeetingAlertBanner(false, window))
    , m_end(new MeetingAlertBanner(true, window))
{
    MeetingService& detector = vm.meetingDetector();
    connect(m_detected, &MeetingAlertBanner::primaryActionTriggered, this,
            [&detector] { detector.confirmStartRecording(); });
    connect(m_detected, &MeetingAlertBanner::dismissTriggered, this, [&detector] { detector.dismissDetectedMeeting(); });
    connect(m_end, &MeetingAlertBanner::primaryActionTriggered, this, [&detector] { detector.confirmStopRecording(); });
    connect(m_end, &MeetingAlertBanner::dismissTriggered, this, [&detector] { detector.dismissMeetingEndPrompt(); });

    connect(&vm.recorder(), &RecorderViewModel::meetingDetectorChanged, this, &MeetingAlertBanners::refresh);
    connect(&vm.recorder(), &RecorderViewModel::recorderStateChanged, this, &MeetingAlertBanners::refresh);
    refresh();
}

void MeetingAlertBanners::refresh()
{
    const MeetingService& detector = m_vm.meetingDetector();
    const RecorderState state = m_vm.recorder().recorderState();
    const std::optional<DetectedMeeting> detected = detector.detectedMeeting();
    const std::optional<DetectedMeeting> ended = detector.meetingEndPrompt();

    const bool wasShown = !m_detected->isHidden() || !m_end->isHidden();
    const bool showsDetected = MeetingBannerRules::showsDetectedBanner(detected.has_value(), state);
    const bool showsEnd = MeetingBannerRules::showsEndBanner(ended.has_value(), state);
    if (showsDetected)
        m_detected->setMeeting(detected->suggestedRecordingTitle());
    if (showsEnd)
        m_end->setMeeting(ended->suggestedRecordingTitle(), detector.autoStopCountdown());
    m_detected->setVisible(showsDetected);
    m_end->setVisible(showsEnd);
    if (showsDetected || showsEnd || wasShown)
        Q_EMIT layoutChanged();
}

int MeetingAlertBanners::place(int top, int spacing)
{
    const int width = m_window->width() - 2 * sideMargin;
    for (MeetingAlertBanner* banner : {m_detected, m_end}) {
        if (banner->isHidden())
            continue;
        banner->setGeometry(sideMargin, top, width, banner->sizeHint().height());
        banner->raise();
        top += banner->height() + spacing;
    }
    return top;
}
