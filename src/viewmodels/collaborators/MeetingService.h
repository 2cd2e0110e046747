#pragma once

#include "services/meetings/DetectedMeeting.h"

#include <QObject>

#include <functional>
#include <optional>

// What the view model and the main window's banners need of the meeting
// detector: the requests to start and stop a recording, being told when one
// starts and stops, what the banners show and the user's four answers.
// `changed` stands for any change of what the banners show.
class MeetingService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MeetingService() override = default;

    virtual void setOnStartRecordingRequested(std::function<void(const DetectedMeeting&)> callback) = 0;
    virtual void setOnStopRecordingRequested(std::function<void()> callback) = 0;
    // No meeting: a recording started by the user.
    virtual void notifyRecordingStarted(const std::optional<DetectedMeeting>& meeting, bool isFromDetectedMeeting) = 0;
    virtual void notifyRecordingStopped() = 0;

    // The call offered for recording.
    virtual std::optional<DetectedMeeting> detectedMeeting() const = 0;
    // The tracked call that ended, while the stop offer runs.
    virtual std::optional<DetectedMeeting> meetingEndPrompt() const = 0;
    // Seconds left before the recording is stopped; none when no countdown runs.
    virtual std::optional<int> autoStopCountdown() const = 0;

    // Answers to the offer: record it, or not now.
    virtual void confirmStartRecording() = 0;
    virtual void dismissDetectedMeeting() = 0;
    // Answers to the stop offer: stop and save now, or keep recording.
    virtual void confirmStopRecording() = 0;
    virtual void dismissMeetingEndPrompt() = 0;

Q_SIGNALS:
    void changed();
};
