#pragma once

#include "viewmodels/collaborators/MeetingService.h"

// Stands in for the meeting detector where none is built in: it never asks
// for anything.
class IdleMeetingDetector : public MeetingService {
    Q_OBJECT
public:
    using MeetingService::MeetingService;

    void setOnStartRecordingRequested(StartRequest) override {}
    void setOnStopRecordingRequested(std::function<void()>) override {}
    void notifyRecordingStarted(const DetectedMeeting*, bool) override {}
    void notifyRecordingStopped() override {}
};
