#pragma once

#include "PendingCalls.h"
#include "viewmodels/collaborators/RecorderService.h"

#include <QFile>

// A recorder whose start and stop finish when the test says; it writes the
// capture file the test asks for.
class FakeRecorder : public RecorderService {
public:
    QFuture<void> startRecording(const QString& outputPath, const std::optional<AudioDevice>& selectedMic) override
    {
        startedPath = outputPath;
        startedMic = selectedMic;
        return starts.add();
    }
    void pauseRecording() override { ++pauses; }
    void resumeRecording() override { ++resumes; }
    QFuture<StopResult> stopRecording() override { return stops.add(); }
    double currentRecordingDuration() const override { return duration; }
    // The test's values go out when it emits them.
    void deliverLiveValues() override { ++deliveries; }
    void updateSelectedMic(const std::optional<AudioDevice>& device) override { micUpdates.append(device); }
    void setMicEnabled(bool enabled) override { micEnabled = enabled; }
    void setSystemAudioEnabled(bool enabled) override { systemAudioEnabled = enabled; }
    void setEchoGuardEnabled(bool enabled) override { echoGuard = enabled; }
    void setMicGain(float gain) override { micGain = gain; }
    void setSysGain(float gain) override { sysGain = gain; }

    // Writes `bytes` bytes where the recording goes.
    void writeCaptureFile(qint64 bytes) const
    {
        QFile file(startedPath);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(bytes, 'x'));
    }

    void emitLevels(float mic, float sys) { Q_EMIT levelsUpdated(mic, sys); }
    void emitWaveformSample(float amplitude) { Q_EMIT liveWaveformSample(amplitude); }
    void emitWriteFailed(const QString& reason) { Q_EMIT writeFailed(reason); }
    void emitInterrupted(const QString& reason) { Q_EMIT interrupted(reason); }
    void emitSourceEnded(const QString& message) { Q_EMIT sourceEnded(message); }

    PendingCalls<void> starts;
    PendingCalls<StopResult> stops;
    QString startedPath;
    std::optional<AudioDevice> startedMic;
    QList<std::optional<AudioDevice>> micUpdates;
    int deliveries = 0;
    int pauses = 0;
    int resumes = 0;
    double duration = 0;
    bool micEnabled = true;
    bool systemAudioEnabled = true;
    bool echoGuard = true;
    float micGain = 0;
    float sysGain = 0;
};
