#include "viewmodels/adapters/AudioMixerRecorderAdapter.h"

#include "viewmodels/adapters/MappedFuture.h"

AudioMixerRecorderAdapter::AudioMixerRecorderAdapter(QObject* parent)
    : RecorderService(parent)
{
    // Both arrive on the main thread, when the live values are delivered; the
    // mixed samples are not used.
    m_recorder.onLevelsUpdate = [this](float mic, float sys) { Q_EMIT levelsUpdated(mic, sys); };
    m_recorder.onLiveWaveformSample = [this](float amplitude) { Q_EMIT liveWaveformSample(amplitude); };
    m_recorder.onMixedAudioSamples = nullptr;
    m_recorder.onWriteFailed = [this](const QString& reason) { Q_EMIT writeFailed(reason); };
    m_recorder.onInterrupted = [this](const QString& reason) { Q_EMIT interrupted(reason); };
    m_recorder.onSourceEnded = [this](const QString& message) { Q_EMIT sourceEnded(message); };
}

QFuture<void> AudioMixerRecorderAdapter::startRecording(const QString& outputPath,
                                                        const std::optional<AudioDevice>& selectedMic)
{
    return m_recorder.startRecording(outputPath, selectedMic);
}

void AudioMixerRecorderAdapter::deliverLiveValues()
{
    m_recorder.deliverLiveValues();
}

void AudioMixerRecorderAdapter::pauseRecording()
{
    m_recorder.pauseRecording();
}

void AudioMixerRecorderAdapter::resumeRecording()
{
    m_recorder.resumeRecording();
}

QFuture<RecorderService::StopResult> AudioMixerRecorderAdapter::stopRecording()
{
    return mappedFuture<StopResult>(m_recorder.stopRecording(), [](const AudioMixerRecorder::StopResult& result) {
        StopResult mapped{result.duration, QList<float>(result.amplitudes.begin(), result.amplitudes.end()), {}};
        if (result.writeError)
            mapped.writeError = result.writeError->message();
        return mapped;
    });
}

double AudioMixerRecorderAdapter::currentRecordingDuration() const
{
    return m_recorder.currentRecordingDuration();
}

void AudioMixerRecorderAdapter::updateSelectedMic(const std::optional<AudioDevice>& device)
{
    m_recorder.updateSelectedMic(device);
}

void AudioMixerRecorderAdapter::setMicEnabled(bool enabled)
{
    m_recorder.setMicEnabled(enabled);
}

void AudioMixerRecorderAdapter::setSystemAudioEnabled(bool enabled)
{
    m_recorder.setSystemAudioEnabled(enabled);
}

void AudioMixerRecorderAdapter::setEchoGuardEnabled(bool enabled)
{
    m_recorder.setEchoGuardEnabled(enabled);
}

void AudioMixerRecorderAdapter::setMicGain(float gain)
{
    m_recorder.setMicGain(gain);
}

void AudioMixerRecorderAdapter::setSysGain(float gain)
{
    m_recorder.setSysGain(gain);
}
