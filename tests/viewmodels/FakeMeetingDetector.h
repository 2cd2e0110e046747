#pragma once

#include "viewmodels/collaborators/MeetingService.h"

#include <QStringList>

// What the banners show is set by the test (`offer`, `offerToStop`); the
// answers are recorded by name, in order.
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

    std::optional<DetectedMeeting> detectedMeeting() const override { return detected; }
    std::optional<DetectedMeeting> meetingEndPrompt() const override { return endPrompt; }
    std::optional<int> autoStopCountdown() const override { return countdown; }
    void confirmStartRecording() override { answers << QStringLiteral("confirmStartRecording"); }
    void dismissDetectedMeeting() override { answers << QStringLiteral("dismissDetectedMeeting"); }
    void confirmStopRecording() override { answers << QStringLiteral("confirmStopRecording"); }
    void dismissMeetingEndPrompt() override { answers << QStringLiteral("dismissMeetingEndPrompt"); }

    void announceChange() { Q_EMIT changed(); }
    void offer(const std::optional<DetectedMeeting>& meeting)
    {
        detected = meeting;
        announceChange();
    }
    void offerToStop(const std::optional<DetectedMeeting>& meeting, std::optional<int> seconds)
    {
        endPrompt = meeting;
        countdown = seconds;
        announceChange();
    }

    std::function<void(const DetectedMeeting&)> onStart;
    std::function<void()> onStop;
    int started = 0;
    int stopped = 0;
    std::optional<DetectedMeeting> lastMeeting;
    bool lastFromMeeting = false;
    std::optional<DetectedMeeting> detected;
    std::optional<DetectedMeeting> endPrompt;
    std::optional<int> countdown;
    QStringList answers;
};
