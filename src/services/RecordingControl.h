#pragma once

#include "models/RecorderState.h"
#include "services/meetings/DetectedMeeting.h"

#include <QString>

#include <optional>

// What the desktop services may ask of the application core: start and stop a
// recording. The view model's recorder implements it; the view model registers
// it as the shared instance as the last step of its construction. Main thread
// only.
class RecordingControl {
public:
    virtual ~RecordingControl() = default;

    // The live application core, or null before it exists.
    static RecordingControl* shared();
    static void setShared(RecordingControl* control);

    // The application core's own copy of the state, with starting and stopping.
    virtual RecorderState recorderState() const = 0;
    // Seconds recorded so far without pauses; 0 when idle.
    virtual double recordingDuration() const = 0;

    // Does nothing unless idle; titles the recording with `customTitle` or the
    // next default title. Failures are shown by the application core itself.
    virtual void startNewRecording(const std::optional<QString>& customTitle,
                                   const std::optional<DetectedMeeting>& fromMeeting) = 0;
    // Does nothing unless recording or paused; stops and saves the recording.
    virtual void stopRecording() = 0;
};
