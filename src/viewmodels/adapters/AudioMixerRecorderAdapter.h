#pragma once

#include "audio/AudioMixerRecorder.h"
#include "viewmodels/collaborators/RecorderService.h"

// The recorder service over the real mixer recorder, which it owns.
class AudioMixerRecorderAdapter : public RecorderService {
    Q_OBJECT
public:
    explicit AudioMixerRecorderAdapter(QObject* parent = nullptr);

    QFuture<void> startRecording(const QString& outputPath, const std::optional<AudioDevice>& selectedMic) override;
    void pauseRecording() override;
    void resumeRecording() override;
    QFuture<StopResult> stopRecording() override;
    double currentRecordingDuration() const override;
    void deliverLiveValues() override;
    void updateSelectedMic(const std::optional<AudioDevice>& device) override;
    void setMicEnabled(bool enabled) override;
    void setSystemAudioEnabled(bool enabled) override;
    void setEchoGuardEnabled(bool enabled) override;
    void setMicGain(float gain) override;
    void setSysGain(float gain) override;

private:
    AudioMixerRecorder m_recorder;
};
