#pragma once

#include "viewmodels/collaborators/MeetingService.h"

class FakeMeetingDetector : public MeetingService {
public:
    void setOnStartRecordingRequested(StartRequest callback) override { onStart = std::move(callback); }
    void setOnStopRecordingRequested(std::function<void()> callback) override { onStop = std::move(callback); }
    void notifyRecordingStarted(const DetectedMeeting* meeting, bool isFromDetectedMeeting) override
    {
        ++started;
        lastMeeting = meeting;
        lastFromMeeting = isFromDetectedMeeting;
    }
    void notifyRecordingStopped() override { ++stopped; }

    void announceChange() { Q_EMIT changed(); }

    StartRequest onStart;
    std::function<void()> onStop;
    int started = 0;
    int stopped = 0;
    const DetectedMeeting* lastMeeting = nullptr;
    bool lastFromMeeting = false;
};
