#include "audio/AudioMixerRecorder.h"

#include "audio/AudioBufferExtractor.h"
#include "audio/MP3Encoder.h"
#include "audio/MicrophoneCapture.h"
#include "audio/SoundServerHardwareProbe.h"
#include "audio/SystemAudioCapture.h"
#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "platform/media/Mp3Decoder.h"
#include "platform/pulse/PulseContext.h"

#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t levelsIntervalNs = 40'000'000;       // 25 reports a second at most
constexpr size_t liveWaveformPointFrames = 44100 / 30;
// As many points as the live waveform keeps.
constexpr size_t liveWaveformCapacity = 600;
constexpr float minimumAmplitude = 0.05f;
// Time for the device list to settle after a source went away: an unplugged
// microphone may be followed by another one being chosen.
constexpr int sourceLossSettleMs = 1500;

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// "Microphone: Entity killed." from a source and its error's message.
QString failureSentence(const QString& source, const QString& message)
{
    const QString sentence = source + QStringLiteral(": ") + message;
    return sentence.endsWith(QLatin1Char('.')) ? sentence : sentence + QLatin1Char('.');
}

std::shared_ptr<AudioHardwareProbe> orPulseProbe(std::shared_ptr<AudioHardwareProbe> probe)
{
    return probe ? std::move(probe) : std::make_shared<SoundServerHardwareProbe>();
}

} // namespace

AudioMixerRecorder::AudioMixerRecorder(std::shared_ptr<AudioHardwareProbe> probe, QObject* parent)
    : QObject(parent)
    , m_mixer(orPulseProbe(std::move(probe)))
    , m_liveReadings(liveWaveformCapacity)
    , m_mixerQueue(QStringLiteral("com.tarvell.nimbrel.mixerqueue"), SerialQueue::Priority::UserInteractive)
    , m_micCapture(std::make_unique<MicrophoneCapture>())
    , m_systemAudioCapture(std::make_unique<SystemAudioCapture>())
    , m_controlQueue(QStringLiteral("com.tarvell.nimbrel.recordercontrol"), SerialQueue::Priority::UserInteractive)
{
    // Deliveries come straight to the mixer queue: converting there costs
    // less than waking a capture thread for every piece only to hand it on.
    m_micCapture->setDeliveryQueue(m_mixerQueue);
    m_systemAudioCapture->setDeliveryQueue(m_mixerQueue);
    m_micCapture->onCapturedBuffer = [this](const CapturedBuffer& buffer) {
        onCapturedBuffer(AudioMixer::Source::Microphone, buffer);
    };
    m_systemAudioCapture->onCapturedBuffer = [this](const CapturedBuffer& buffer) {
        onCapturedBuffer(AudioMixer::Source::System, buffer);
    };
    // From the capture queues to the main thread; events still queued when
    // the recorder goes are dropped with it.
    m_micCapture->onStreamLost = [this](const Error& error) {
        QMetaObject::invokeMethod(
            this, [this, reason = error.message()] { sourceLost(AudioMixer::Source::Microphone, reason); },
            Qt::QueuedConnection);
    };
    m_systemAudioCapture->onStreamLost = [this](const Error& error) {
        QMetaObject::invokeMethod(
            this, [this, reason = error.message()] { sourceLost(AudioMixer::Source::System, reason); },
            Qt::QueuedConnection);
    };
    connect(&PulseContext::shared(), &PulseContext::disconnected, this, [this] {
        if (isRecordingOrPaused())
            interrupt(QStringLiteral("The sound server went away."));
    });
}

AudioMixerRecorder::~AudioMixerRecorder() = default;

void AudioMixerRecorder::onCapturedBuffer(AudioMixer::Source source, const CapturedBuffer& buffer)
{
    const bool isMicrophone = source == AudioMixer::Source::Microphone;
    AudioBufferExtractor::Extracted extracted = AudioBufferExtractor::extractStereo44k(buffer, isMicrophone);
    if (extracted.samples.empty())
        return;
    (isMicrophone ? m_currentMicLevel : m_currentSysLevel) = std::min(extracted.rms * 4, 1.0f);
    const bool enabled = isMicrophone ? m_mixer.isMicEnabled() : m_mixer.isSystemAudioEnabled();
    if (m_state == RecorderState::recording && enabled)
        mixDelivery(source, extracted.samples);
    else
        notifyLevels();
}

void AudioMixerRecorder::mixDelivery(AudioMixer::Source source, const std::vector<int16_t>& samples)
{
    // A delivery that slipped in while the stop was flushing belongs to no file.
    if (!m_isAcceptingDeliveries)
        return;
    AudioMixer::DeliveryResult result = m_mixer.mixDelivery(source, samples);
    if (result.noSourceEnabled) {
        notifyLevels();
        return;
    }
    // The steps of one delivery are microseconds apart: at most one level
    // report passes its throttle.
    std::vector<float> waveformPoints;
    std::optional<Levels> levels;
    for (const MixStep& step : result.steps) {
        if (m_encoder && !m_encodeError) {
            try {
                m_encoder->encode(step.samples);
            } catch (const Error& error) {
                // The file keeps what was written; the owner stops the
                // recording, and the stop reports the reason with the result.
                ConsoleLine::print(QStringLiteral("Recording could not be written: ") + error.message());
                m_encodeError = error;
                QMetaObject::invokeMethod(
                    this,
                    [this, reason = error.message()] {
                        if (onWriteFailed)
                            onWriteFailed(reason);
                    },
                    Qt::QueuedConnection);
            }
        }
        if (onMixedAudioSamples)
            onMixedAudioSamples(step.samples);
        addToLiveWaveform(std::min(step.amplitude, 1.0f), step.samples.size() / 2, waveformPoints);
        if (std::optional<Levels> due = levelsDue())
            levels = due;
    }
    m_liveReadings.addPoints(waveformPoints);
    if (levels)
        m_liveReadings.setLevels(*levels);
}

void AudioMixerRecorder::notifyLevels()
{
    if (std::optional<Levels> levels = levelsDue())
        m_liveReadings.setLevels(*levels);
}

std::optional<AudioMixerRecorder::Levels> AudioMixerRecorder::levelsDue()
{
    const int64_t now = nowNs();
    int64_t last = m_lastLevelsDispatch;
    if (now - last < levelsIntervalNs || !m_lastLevelsDispatch.compare_exchange_strong(last, now))
        return std::nullopt;
    // While recording only the mixer moves the compensation, and gradually;
    // otherwise it follows the input volume (asked at most every 0.25 s) at once.
    if (m_state != RecorderState::recording)
        m_mixer.snapCompensationToInputVolume();
    Levels levels;
    levels.mic = m_mixer.isMicEnabled()
        ? std::min(m_mixer.micGain() * m_mixer.adaptiveMicBoost() * m_mixer.smoothedHwCompensation()
                       * m_currentMicLevel,
                   1.0f)
        : 0.0f;
    levels.sys = m_mixer.isSystemAudioEnabled() ? std::min(m_currentSysLevel * m_mixer.sysGain(), 1.0f) : 0.0f;
    return levels;
}

void AudioMixerRecorder::addToLiveWaveform(float amplitude, size_t frames, std::vector<float>& points)
{
    const float floored = std::max(amplitude, minimumAmplitude);
    m_capturedAmplitudes.push_back(floored);
    // One point per thirtieth of a second of audio, the loudest step within
    // it: the live waveform scrolls at the same speed however the sound
    // server happens to divide the audio into deliveries.
    while (frames > 0) {
        const size_t taken = std::min(frames, liveWaveformPointFrames - m_liveWaveformFrames);
        m_liveWaveformFrames += taken;
        frames -= taken;
        m_liveWaveformPeak = std::max(m_liveWaveformPeak, floored);
        if (m_liveWaveformFrames == liveWaveformPointFrames) {
            points.push_back(m_liveWaveformPeak);
            m_liveWaveformFrames = 0;
            m_liveWaveformPeak = 0;
        }
    }
}

void AudioMixerRecorder::deliverLiveValues()
{
    const LiveReadings::Taken taken = m_liveReadings.take();
    if (onLiveWaveformSample) {
        for (float point : taken.points)
            onLiveWaveformSample(point);
    }
    if (taken.levels && onLevelsUpdate)
        onLevelsUpdate(taken.levels->mic, taken.levels->sys);
}

bool AudioMixerRecorder::isRecordingOrPaused() const
{
    const RecorderState state = m_state;
    return state == RecorderState::recording || state == RecorderState::paused;
}

void AudioMixerRecorder::sourceLost(AudioMixer::Source source, const QString& reason)
{
    if (!isRecordingOrPaused() || m_interruptReported)
        return;
    if (!PulseContext::shared().isConnected()) {
        interrupt(QStringLiteral("The sound server went away."));
        return;
    }
    ConsoleLine::print((source == AudioMixer::Source::Microphone ? QStringLiteral("Microphone")
                                                                 : QStringLiteral("System audio"))
                       + QStringLiteral(" ended during the recording: ") + reason);
    QTimer::singleShot(sourceLossSettleMs, this,
                       [this, source, recording = m_recordingNumber] { judgeSourceLoss(source, recording); });
}

void AudioMixerRecorder::judgeSourceLoss(AudioMixer::Source source, quint64 recording)
{
    if (recording != m_recordingNumber || !isRecordingOrPaused() || m_interruptReported)
        return;
    if (!PulseContext::shared().isConnected()) {
        interrupt(QStringLiteral("The sound server went away."));
        return;
    }
    const bool micLost = source == AudioMixer::Source::Microphone;
    const bool micLive = m_mixer.isMicEnabled() && m_micCapture->isCapturing();
    const bool systemLive = m_mixer.isSystemAudioEnabled() && m_systemAudioCapture->isCapturing();
    QString message;
    if (micLost && micLive)
        message = QStringLiteral("Microphone disconnected — recording the microphone now chosen");
    else if (!micLost && systemLive)
        message = QStringLiteral("System audio output removed — recording the new output");
    else if (micLost && systemLive)
        message = QStringLiteral("Microphone disconnected — recording system audio only");
    else if (!micLost && micLive)
        message = QStringLiteral("System audio output removed — recording the microphone only");
    if (message.isEmpty()) {
        interrupt(micLost ? QStringLiteral("The microphone was disconnected.")
                          : QStringLiteral("The system audio output was removed."));
        return;
    }
    ConsoleLine::print(message);
    if (onSourceEnded)
        onSourceEnded(message);
}

void AudioMixerRecorder::interrupt(const QString& reason)
{
    if (m_interruptReported)
        return;
    m_interruptReported = true;
    ConsoleLine::print(QStringLiteral("Recording interrupted: ") + reason);
    if (onInterrupted)
        onInterrupted(reason);
}

QFuture<void> AudioMixerRecorder::startRecording(const QString& outputPath,
                                                 const std::optional<AudioDevice>& selectedMic)
{
    if (m_state != RecorderState::idle)
        return QtFuture::makeReadyFuture();
    ++m_recordingNumber;
    m_interruptReported = false;
    return m_controlQueue.async([this, outputPath, selectedMic] { startBody(outputPath, selectedMic); });
}

void AudioMixerRecorder::startBody(const QString& outputPath, const std::optional<AudioDevice>& selectedMic)
{
    if (m_state != RecorderState::idle)
        return;
    if (PulseContext& pulse = PulseContext::shared(); !pulse.isConnected()) {
        // Said plainly rather than as each source's failure to open.
        const QString reason = pulse.connectionError().message();
        throw Error(QStringLiteral("AudioMixerRecorder"), 2,
                    QStringLiteral("No sound server is running: ")
                        + (reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.')));
    }
    m_mixerQueue.sync([this] {
        m_mixer.reset();
        m_capturedAmplitudes.clear();
        m_liveWaveformFrames = 0;
        m_liveWaveformPeak = 0;
        m_isAcceptingDeliveries = false;
        m_encodeError.reset();
        // Nothing of an earlier recording reaches this one's waveform.
        m_liveReadings.clear();
    });
    auto encoder = std::make_unique<MP3Encoder>(outputPath, 44100, 192, 2);
    m_mixerQueue.sync([this, &encoder, &outputPath] {
        m_encoder = std::move(encoder);
        m_outputPath = outputPath;
        m_isAcceptingDeliveries = true;
    });
    {
        std::lock_guard lock(m_durationMutex);
        m_recordingStartTime = Clock::now();
        m_accumulatedDuration = 0;
    }
    m_state = RecorderState::recording;

    const bool micEnabled = m_mixer.isMicEnabled();
    const bool systemEnabled = m_mixer.isSystemAudioEnabled();
    QFuture<void> micStarted = micEnabled ? m_micCapture->start(selectedMic) : QtFuture::makeReadyFuture();
    QStringList failures;
    if (systemEnabled) {
        try {
            m_systemAudioCapture->start().waitForFinished();
        } catch (const Error& error) {
            ConsoleLine::print(QStringLiteral("System audio capture start failed: ") + error.message());
            failures.append(failureSentence(QStringLiteral("System audio"), error.message()));
        }
    }
    if (micEnabled) {
        try {
            micStarted.waitForFinished();
        } catch (const Error& error) {
            ConsoleLine::print(QStringLiteral("Microphone capture start failed: ") + error.message());
            failures.prepend(failureSentence(QStringLiteral("Microphone"), error.message()));
        }
    }
    const int enabledCount = int(micEnabled) + int(systemEnabled);
    if (enabledCount == 0 || failures.size() < enabledCount)
        return;

    // Nothing would be recorded: undo the start instead of writing silence
    // that the stop would then discard without a word.
    m_state = RecorderState::idle;
    if (micEnabled)
        m_micCapture->stop().waitForFinished();
    std::unique_ptr<MP3Encoder> unused;
    m_mixerQueue.sync([this, &unused] {
        m_isAcceptingDeliveries = false;
        m_mixer.reset();
        unused = std::move(m_encoder);
    });
    unused.reset();
    QFile::remove(outputPath);
    {
        std::lock_guard lock(m_durationMutex);
        m_recordingStartTime.reset();
        m_accumulatedDuration = 0;
    }
    throw Error(QStringLiteral("AudioMixerRecorder"), 1,
                QStringLiteral("No audio source could be started. ") + failures.join(QLatin1Char(' ')));
}

void AudioMixerRecorder::pauseRecording()
{
    if (m_state != RecorderState::recording)
        return;
    m_state = RecorderState::paused;
    closeStretch();
}

void AudioMixerRecorder::resumeRecording()
{
    if (m_state != RecorderState::paused)
        return;
    {
        std::lock_guard lock(m_durationMutex);
        m_recordingStartTime = Clock::now();
    }
    m_state = RecorderState::recording;
}

void AudioMixerRecorder::closeStretch()
{
    std::lock_guard lock(m_durationMutex);
    if (m_recordingStartTime)
        m_accumulatedDuration += std::chrono::duration<double>(Clock::now() - *m_recordingStartTime).count();
    m_recordingStartTime.reset();
}

double AudioMixerRecorder::currentRecordingDuration() const
{
    std::lock_guard lock(m_durationMutex);
    switch (m_state.load()) {
    case RecorderState::idle:
    case RecorderState::starting:
        return 0;
    case RecorderState::paused:
        return m_accumulatedDuration;
    case RecorderState::recording:
    case RecorderState::stopping:
        break;
    }
    if (!m_recordingStartTime)
        return m_accumulatedDuration;
    return m_accumulatedDuration + std::chrono::duration<double>(Clock::now() - *m_recordingStartTime).count();
}

QFuture<AudioMixerRecorder::StopResult> AudioMixerRecorder::stopRecording()
{
    const RecorderState state = m_state;
    if (state != RecorderState::recording && state != RecorderState::paused)
        return QtFuture::makeReadyFuture(StopResult{});
    if (state == RecorderState::recording)
        closeStretch();
    // From here on new deliveries are not queued.
    m_state = RecorderState::idle;
    return m_controlQueue.async([this] { return stopBody(); });
}

AudioMixerRecorder::StopResult AudioMixerRecorder::stopBody()
{
    QFuture<void> micStopped = m_micCapture->stop();
    m_systemAudioCapture->stop().waitForFinished();
    micStopped.waitForFinished();

    std::unique_ptr<MP3Encoder> encoder;
    std::optional<Error> encodeError;
    StopResult result;
    m_mixerQueue.sync([&] {
        // After every delivery queued before the stop.
        const std::vector<int16_t> rest = m_mixer.flush();
        if (m_encoder && !m_encodeError) {
            try {
                m_encoder->encode(rest);
            } catch (const Error& error) {
                m_encodeError = error;
            }
        }
        m_isAcceptingDeliveries = false;
        encoder = std::move(m_encoder);
        encodeError = m_encodeError;
        result.amplitudes = std::move(m_capturedAmplitudes);
        m_capturedAmplitudes.clear();
        // The closing (0, 0) is the last level a stop reports.
        m_liveReadings.clear();
    });
    if (encoder && !encodeError) {
        try {
            encoder->finish();
        } catch (const Error& error) {
            encodeError = error;
        }
    }
    encoder.reset();
    {
        std::lock_guard lock(m_durationMutex);
        result.duration = m_accumulatedDuration;
    }
    if (encodeError) {
        // The recording ends where the file does, not where the stop came.
        result.writeError = encodeError;
        const double written = Mp3Decoder::durationOf(m_outputPath);
        result.duration = std::isfinite(written) ? std::min(result.duration, written) : 0;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (onLevelsUpdate)
                onLevelsUpdate(0, 0);
        },
        Qt::QueuedConnection);
    return result;
}

void AudioMixerRecorder::updateSelectedMic(const std::optional<AudioDevice>& device)
{
    if (device)
        m_micCapture->setDevice(device);
}

QFuture<void> AudioMixerRecorder::restartSystemAudioIfNeeded()
{
    if (m_state != RecorderState::recording || !m_mixer.isSystemAudioEnabled())
        return QtFuture::makeReadyFuture();
    return m_systemAudioCapture->restartIfStopped();
}
