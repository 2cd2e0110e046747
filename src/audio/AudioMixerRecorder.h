#pragma once

#include "audio/AudioDevice.h"
#include "audio/AudioMixer.h"
#include "audio/LiveReadings.h"
#include "models/RecorderState.h"
#include "common/Error.h"
#include "common/SerialQueue.h"

#include <QFuture>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class AudioHardwareProbe;
class MP3Encoder;
class MicrophoneCapture;
class SystemAudioCapture;
struct CapturedBuffer;

// Records the microphone, the system audio or both into one stereo MP3 file,
// written live: captures hand their samples to the mixer queue, which mixes,
// encodes and measures levels and live-waveform samples. Measures the recorded
// time without pauses and keeps one amplitude per mixing step.
//
// Called on the main thread. onLevelsUpdate and onLiveWaveformSample run there
// too, from deliverLiveValues(), which the owner calls at the pace it shows
// them: the mixer queue never wakes the main thread for them. Only the (0, 0)
// levels after a stop come by themselves. onMixedAudioSamples runs on the
// mixer queue.
class AudioMixerRecorder : public QObject {
    Q_OBJECT
public:
    struct StopResult {
        double duration = 0; // seconds, pauses left out
        std::vector<float> amplitudes;
        // Why the file could not be written to the end (a full disk). It then
        // holds, in whole frames, what was written before, and `duration` is
        // no longer than that.
        std::optional<Error> writeError;
    };

    // `probe` answers the mixer's hardware questions; the sound server's by default.
    explicit AudioMixerRecorder(std::shared_ptr<AudioHardwareProbe> probe = {}, QObject* parent = nullptr);
    ~AudioMixerRecorder() override;

    RecorderState state() const { return m_state; }

    // Read at start (which captures run) and at every delivery; gains count
    // from the next mixing step.
    bool isMicEnabled() const { return m_mixer.isMicEnabled(); }
    void setMicEnabled(bool on) { m_mixer.setMicEnabled(on); }
    bool isSystemAudioEnabled() const { return m_mixer.isSystemAudioEnabled(); }
    void setSystemAudioEnabled(bool on) { m_mixer.setSystemAudioEnabled(on); }
    bool isEchoGuardEnabled() const { return m_mixer.isEchoGuardEnabled(); }
    void setEchoGuardEnabled(bool on) { m_mixer.setEchoGuardEnabled(on); }
    float micGain() const { return m_mixer.micGain(); }
    void setMicGain(float gain) { m_mixer.setMicGain(gain); }
    float sysGain() const { return m_mixer.sysGain(); }
    void setSysGain(float gain) { m_mixer.setSysGain(gain); }

    std::function<void(float amplitude)> onLiveWaveformSample;
    std::function<void(float micLevel, float sysLevel)> onLevelsUpdate;
    std::function<void(const std::vector<int16_t>& samples)> onMixedAudioSamples;
    // On the main thread, once per recording, at its first write error: the
    // recording writes nothing more and should be stopped.
    std::function<void(const QString& reason)> onWriteFailed;
    // On the main thread, at most once per recording: the sound server went
    // away, or no enabled source is left to record. Nothing more can be
    // recorded; the recording should be stopped, and is saved as it is.
    std::function<void(const QString& reason)> onInterrupted;
    // On the main thread: an enabled source ended during the recording and
    // the recording goes on with what remains; says what is recorded now.
    std::function<void(const QString& message)> onSourceEnded;

    // Starts writing `outputPath` from the enabled sources; does nothing unless
    // idle. Fails with the encoder's error, with ("AudioMixerRecorder", 2, "No
    // sound server is running: ...") while no server is connected, or with
    // ("AudioMixerRecorder", 1) when every enabled source failed to start
    // (nothing is left recording and the file is removed). A system-audio
    // failure alone is only printed.
    QFuture<void> startRecording(const QString& outputPath, const std::optional<AudioDevice>& selectedMic);
    void pauseRecording();
    void resumeRecording();
    // Finishes the file; the result comes once it is complete and closed.
    // Gives (0, no amplitudes) unless recording or paused. A write error is
    // part of the result; the file keeps what was written before it.
    QFuture<StopResult> stopRecording();
    // Swaps the microphone, also while recording; without a device, nothing.
    void updateSelectedMic(const std::optional<AudioDevice>& device);
    double currentRecordingDuration() const;
    // Hands the live-waveform samples and the latest levels measured since
    // the last call to onLiveWaveformSample and onLevelsUpdate; of a long
    // wait, the newest 600 samples. Main thread.
    void deliverLiveValues();
    // Starts the system audio again if its stream stopped by itself.
    QFuture<void> restartSystemAudioIfNeeded();

private:
    using Clock = std::chrono::steady_clock;

    using Levels = LiveReadings::Levels;

    // On the mixer queue, once per delivery.
    void onCapturedBuffer(AudioMixer::Source source, const CapturedBuffer& buffer);
    void mixDelivery(AudioMixer::Source source, const std::vector<int16_t>& samples);
    void notifyLevels();
    // The level report when its throttle lets one through; any thread.
    std::optional<Levels> levelsDue();
    // Keeps the step's amplitude and adds any live-waveform points its
    // `frames` complete to `points`. Mixer queue.
    void addToLiveWaveform(float amplitude, size_t frames, std::vector<float>& points);
    void closeStretch();
    bool isRecordingOrPaused() const;
    // Main thread: a capture's stream ended by itself.
    void sourceLost(AudioMixer::Source source, const QString& reason);
    // Once the device choice had time to settle: what is left to record.
    void judgeSourceLoss(AudioMixer::Source source, quint64 recording);
    void interrupt(const QString& reason);
    std::vector<float> flushAndTakeAmplitudes();
    void startBody(const QString& outputPath, const std::optional<AudioDevice>& selectedMic);
    StopResult stopBody();

    AudioMixer m_mixer;
    std::atomic<RecorderState> m_state{RecorderState::idle};

    // Mixer queue only.
    std::unique_ptr<MP3Encoder> m_encoder;
    bool m_isAcceptingDeliveries = false;
    std::optional<Error> m_encodeError;
    QString m_outputPath;
    std::vector<float> m_capturedAmplitudes;
    size_t m_liveWaveformFrames = 0; // toward the next live-waveform point
    float m_liveWaveformPeak = 0;

    std::atomic<float> m_currentMicLevel{0};
    std::atomic<float> m_currentSysLevel{0};
    // Far enough in the past that the first report is due, without overflowing.
    std::atomic<int64_t> m_lastLevelsDispatch{INT64_MIN / 2};
    // Filled on the mixer queue, emptied by deliverLiveValues().
    LiveReadings m_liveReadings;

    // Main thread: which recording a loss belongs to, and whether it was told.
    quint64 m_recordingNumber = 0;
    bool m_interruptReported = false;

    mutable std::mutex m_durationMutex;
    std::optional<Clock::time_point> m_recordingStartTime;
    double m_accumulatedDuration = 0;

    // Declared after what their work touches, so they are drained first on
    // destruction: the start and stop bodies, then the captures, then the
    // queue the captures feed.
    SerialQueue m_mixerQueue;
    std::unique_ptr<MicrophoneCapture> m_micCapture;
    std::unique_ptr<SystemAudioCapture> m_systemAudioCapture;
    // Runs the start and stop bodies off the main thread, one after the other.
    SerialQueue m_controlQueue;
};
