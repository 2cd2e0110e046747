#pragma once

#include "viewmodels/collaborators/MeetingService.h"

class FakeMeetingDetector : public MeetingService {
public:
    void setOnStartRecordingRequested(std::function<void(const DetectedMeeting&)> callback) override
    {
        onStart = std::move(callback);
    }
    void setOnStopRecordingRequested(std::function<void()> callback) override { onStop = std::move(callback); }
    void notifyRecordingStarted(const std::optional<DetectedMeeting>& meeting, bool isFromDetectedMeeting) override
    {
        ++started;
        lastMeeting = meeting;
        lastFromMeeting = isFromDetectedMeeting;
    }
    void notifyRecordingStopped() override { ++stopped; }

    void announceChange() { Q_EMIT changed(); }

    std::function<void(const DetectedMeeting&)> onStart;
    std::function<void()> onStop;
    int started = 0;
    int stopped = 0;
    std::optional<DetectedMeeting> lastMeeting;
    bool lastFromMeeting = false;
};
