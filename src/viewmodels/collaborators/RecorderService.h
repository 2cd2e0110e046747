#pragma once

#include "audio/AudioDevice.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// What the view model needs of the mixer recorder: start, pause, resume and
// stop one recording into a capture file, the live values it reports, and the
// source settings it is handed. Signals arrive on the main thread; the levels
// and live-waveform samples only from deliverLiveValues(), apart from the
// (0, 0) levels after a stop.
class RecorderService : public QObject {
    Q_OBJECT
public:
    struct StopResult {
        double duration = 0; // seconds, pauses left out
        QList<float> amplitudes; // one per mixing step
        // Why the file could not be written to the end; it then holds what
        // was written before, still playable.
        std::optional<QString> writeError;
    };

    using QObject::QObject;
    ~RecorderService() override = default;

    // Fails with the reason when the recording cannot start (the file cannot be
    // opened, or every enabled source failed).
    virtual QFuture<void> startRecording(const QString& outputPath, const std::optional<AudioDevice>& selectedMic) = 0;
    virtual void pauseRecording() = 0;
    virtual void resumeRecording() = 0;
    // Finishes the file. A file that could not be written to the end is a
    // result with `writeError`; other failures fail the future.
    virtual QFuture<StopResult> stopRecording() = 0;
    // Seconds recorded so far, pauses left out.
    virtual double currentRecordingDuration() const = 0;
    // Emits the levels and live-waveform samples measured since the last
    // call, the newest 600 samples of a long wait.
    virtual void deliverLiveValues() = 0;
    // Without a device the current one stays.
    virtual void updateSelectedMic(const std::optional<AudioDevice>& device) = 0;

    virtual void setMicEnabled(bool enabled) = 0;
    virtual void setSystemAudioEnabled(bool enabled) = 0;
    virtual void setEchoGuardEnabled(bool enabled) = 0;
    virtual void setMicGain(float gain) = 0;
    virtual void setSysGain(float gain) = 0;

Q_SIGNALS:
    void levelsUpdated(float micLevel, float sysLevel);
    void liveWaveformSample(float amplitude);
    // The recording's file could not be written (a full disk): nothing more
    // is recorded, and the recording should be stopped.
    void writeFailed(const QString& reason);
    // Nothing more can be recorded (the sound server went away, no source is
    // left): the recording should be stopped; `reason` says why.
    void interrupted(const QString& reason);
    // A source ended and the recording goes on with the rest; `message` says
    // what is recorded now.
    void sourceEnded(const QString& message);
};
