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
