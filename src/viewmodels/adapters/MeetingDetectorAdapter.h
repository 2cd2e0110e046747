#pragma once

#include "viewmodels/collaborators/MeetingService.h"

class MeetingDetector;

// The meeting service over a meeting detector (the shared one in the app).
class MeetingDetectorAdapter : public MeetingService {
    Q_OBJECT
public:
    explicit MeetingDetectorAdapter(MeetingDetector& detector, QObject* parent = nullptr);

    void setOnStartRecordingRequested(std::function<void(const DetectedMeeting&)> callback) override;
    void setOnStopRecordingRequested(std::function<void()> callback) override;
    void notifyRecordingStarted(const std::optional<DetectedMeeting>& meeting, bool isFromDetectedMeeting) override;
    void notifyRecordingStopped() override;

    std::optional<DetectedMeeting> detectedMeeting() const override;
    std::optional<DetectedMeeting> meetingEndPrompt() const override;
    std::optional<int> autoStopCountdown() const override;
    void confirmStartRecording() override;
    void dismissDetectedMeeting() override;
    void confirmStopRecording() override;
    void dismissMeetingEndPrompt() override;

private:
    MeetingDetector& m_detector;
};
