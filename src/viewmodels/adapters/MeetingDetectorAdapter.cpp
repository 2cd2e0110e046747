#include "viewmodels/adapters/MeetingDetectorAdapter.h"

#include "services/meetings/MeetingDetector.h"

MeetingDetectorAdapter::MeetingDetectorAdapter(MeetingDetector& detector, QObject* parent)
    : MeetingService(parent)
    , m_detector(detector)
{
    // What the banners show.
    connect(&detector, &MeetingDetector::detectedMeetingChanged, this, &MeetingService::changed);
    connect(&detector, &MeetingDetector::meetingEndPromptChanged, this, &MeetingService::changed);
    connect(&detector, &MeetingDetector::autoStopCountdownChanged, this, &MeetingService::changed);
    connect(&detector, &MeetingDetector::isDetectionEnabledChanged, this, &MeetingService::changed);
}

void MeetingDetectorAdapter::setOnStartRecordingRequested(std::function<void(const DetectedMeeting&)> callback)
{
    m_detector.setOnStartRecordingRequested(std::move(callback));
}

void MeetingDetectorAdapter::setOnStopRecordingRequested(std::function<void()> callback)
{
    m_detector.setOnStopRecordingRequested(std::move(callback));
}

void MeetingDetectorAdapter::notifyRecordingStarted(const std::optional<DetectedMeeting>& meeting,
                                                    bool isFromDetectedMeeting)
{
    m_detector.notifyRecordingStarted(meeting, isFromDetectedMeeting);
}

void MeetingDetectorAdapter::notifyRecordingStopped()
{
    m_detector.notifyRecordingStopped();
}

std::optional<DetectedMeeting> MeetingDetectorAdapter::detectedMeeting() const
{
    return m_detector.detectedMeeting();
}

std::optional<DetectedMeeting> MeetingDetectorAdapter::meetingEndPrompt() const
{
    return m_detector.meetingEndPrompt();
}

std::optional<int> MeetingDetectorAdapter::autoStopCountdown() const
{
    return m_detector.autoStopCountdown();
}

void MeetingDetectorAdapter::confirmStartRecording()
{
    m_detector.confirmStartRecording();
}

void MeetingDetectorAdapter::dismissDetectedMeeting()
{
    m_detector.dismissDetectedMeeting();
}

void MeetingDetectorAdapter::confirmStopRecording()
{
    m_detector.confirmStopRecording();
}

void MeetingDetectorAdapter::dismissMeetingEndPrompt()
{
    m_detector.dismissMeetingEndPrompt();
}
