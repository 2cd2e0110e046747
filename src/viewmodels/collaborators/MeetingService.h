#pragma once

#include <QObject>
#include <QString>

#include <functional>

struct DetectedMeeting;

// What the view model needs of the meeting detector: the requests to start and
// stop a recording, and being told when one starts and stops. `changed` stands
// for any change of what the banners show.
class MeetingService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MeetingService() override = default;

    // The accepted call comes with its suggested recording title.
    using StartRequest = std::function<void(const QString& suggestedTitle, const DetectedMeeting& meeting)>;

    virtual void setOnStartRecordingRequested(StartRequest callback) = 0;
    virtual void setOnStopRecordingRequested(std::function<void()> callback) = 0;
    // `meeting` may be null: a recording started by the user.
    virtual void notifyRecordingStarted(const DetectedMeeting* meeting, bool isFromDetectedMeeting) = 0;
    virtual void notifyRecordingStopped() = 0;

Q_SIGNALS:
    void changed();
};
