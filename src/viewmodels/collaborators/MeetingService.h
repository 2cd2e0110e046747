#pragma once

#include "services/meetings/DetectedMeeting.h"

#include <QObject>

#include <functional>
#include <optional>

// What the view model needs of the meeting detector: the requests to start and
// stop a recording, and being told when one starts and stops. `changed` stands
// for any change of what the banners show.
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

Q_SIGNALS:
    void changed();
};
