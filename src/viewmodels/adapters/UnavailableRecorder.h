#pragma once

#include "viewmodels/collaborators/RecorderService.h"

// Stands in for the mixer recorder where none is built in: a start fails.
class UnavailableRecorder : public RecorderService {
    Q_OBJECT
public:
    using RecorderService::RecorderService;

    QFuture<void> startRecording(const QString& outputPath, const std::optional<AudioDevice>& selectedMic) override;
    void pauseRecording() override {}
    void resumeRecording() override {}
    QFuture<StopResult> stopRecording() override;
    double currentRecordingDuration() const override { return 0; }
    void updateSelectedMic(const std::optional<AudioDevice>&) override {}
    void setMicEnabled(bool) override {}
    void setSystemAudioEnabled(bool) override {}
    void setEchoGuardEnabled(bool) override {}
    void setMicGain(float) override {}
    void setSysGain(float) override {}
};
