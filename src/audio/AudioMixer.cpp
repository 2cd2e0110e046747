#include "audio/AudioMixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace {

constexpr float softClipThreshold = 28000.0f;
constexpr float softClipCeiling = 32760.0f;
constexpr float fullScale = 32768.0f;
constexpr float singleSourceClamp = 32767.0f;
constexpr float singleSourceAmplitudeFactor = 1.5f;

constexpr float echoGuardMicCeiling = 0.008f;
constexpr float echoGuardSystemFloor = 0.035f;
constexpr float echoGuardAttenuation = 0.65f;
constexpr float attenuationRiseStep = 0.04f;
constexpr float attenuationFallStep = 0.002f;

constexpr float boostStep = 0.04f;
constexpr float twoSourceCompensationStep = 0.002f;
constexpr float micOnlyCompensationStep = 0.001f;

constexpr double inputVolumeCacheSeconds = 0.25;
constexpr double headphonesCacheSeconds = 2.0;

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// RMS of `count` samples in full-scale units; the squares are summed exactly.
float rms(const int16_t* samples, size_t count)
{
    int64_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += int32_t(samples[i]) * int32_t(samples[i]);
    return static_cast<float>(std::sqrt(static_cast<double>(sum) / static_cast<double>(count)) / 32768.0);
}

float clampSingleSource(float y)
{
    return std::clamp(y, -singleSourceClamp, singleSourceClamp);
}

} // namespace

AudioMixer::AudioMixer(std::shared_ptr<AudioHardwareProbe> probe, Clock clock)
    : m_probe(std::move(probe))
    , m_clock(clock ? std::move(clock) : Clock(steadySeconds))
{
    snapCompensationToInputVolume();
}

float AudioMixer::boostTarget(float micLevel)
{
    if (micLevel > 0.002f && micLevel < 0.035f) {
        if (micLevel < 0.015f)
            return 1.5f;
        return std::min(0.04f / micLevel, 1.5f);
    }
    return 1.0f;
}

float AudioMixer::softClip(float y)
{
    const float magnitude = std::abs(y);
    if (magnitude <= softClipThreshold)
        return y;
    // The knee starts with the slope of the straight line, so louder input
    // never comes out quieter and the curve has no step at the threshold.
    constexpr float headroom = softClipCeiling - softClipThreshold;
    const float bent = softClipThreshold + headroom * std::tanh((magnitude - softClipThreshold) / headroom);
    return std::copysign(bent, y);
}

int16_t AudioMixer::toSample(float y)
{
    // Clamping first keeps the float-to-int cast in range; the result is the same.
    y = std::clamp(y, -32768.0f, 32767.0f);
    return static_cast<int16_t>(static_cast<int32_t>(y));
}

void AudioMixer::reset()
{
    m_micBufferQueue.clear();
    m_sysBufferQueue.clear();
    for (size_t i = 0; i < 2; ++i) {
        m_hasDelivered[i] = false;
        m_otherSamplesSinceDelivery[i] = 0;
    }
    m_echoGuardCurrentAttenuation = 1.0f;
    m_adaptiveMicBoost.store(1.0f, std::memory_order_relaxed);
    snapCompensationToInputVolume();
}

void AudioMixer::snapCompensationToInputVolume()
{
    m_smoothedHwCompensation.store(1.0f / fetchInputHardwareVolume(), std::memory_order_relaxed);
}

float AudioMixer::fetchInputHardwareVolume()
{
    {
        std::lock_guard lock(m_hwVolumeLock);
        const double now = m_clock();
        if (m_lastHardwareVolumeCheck && now - *m_lastHardwareVolumeCheck < inputVolumeCacheSeconds)
            return m_cachedHardwareVolume;
        m_lastHardwareVolumeCheck = now;
    }
    const std::optional<float> answer = m_probe ? m_probe->defaultInputVolume() : std::nullopt;
    const float volume = answer && std::isfinite(*answer) ? std::clamp(*answer, 0.15f, 1.0f) : 1.0f;
    std::lock_guard lock(m_hwVolumeLock);
    m_cachedHardwareVolume = volume;
    return volume;
}

bool AudioMixer::isHeadphonesOutput()
{
    const double now = m_clock();
    if (m_lastHeadphonesCheckTime && now - *m_lastHeadphonesCheckTime < headphonesCacheSeconds)
        return m_cachedIsHeadphones;
    m_lastHeadphonesCheckTime = now;
    const std::optional<QString> name = m_probe ? m_probe->defaultOutputDeviceName() : std::nullopt;
    m_cachedIsHeadphones = name && AudioHardwareProbe::isHeadphonesName(*name);
    return m_cachedIsHeadphones;
}

AudioMixer::DeliveryResult AudioMixer::mixDelivery(Source source, const int16_t* samples, size_t count)
{
    (source == Source::Microphone ? m_micBufferQueue : m_sysBufferQueue).append(samples, count);
    const size_t self = source == Source::Microphone ? 0 : 1;
    m_hasDelivered[self] = true;
    m_otherSamplesSinceDelivery[self] = 0;
    m_otherSamplesSinceDelivery[1 - self] += count;

    DeliveryResult result;
    const bool mic = isMicEnabled();
    const bool system = isSystemAudioEnabled();
    if (mic && system) {
        if (std::optional<MixStep> step = mixBothSources())
            result.steps.push_back(std::move(*step));
    } else if (mic || system) {
        // Every whole chunk queued, so a source delivering more than a chunk at
        // a time never builds up a backlog.
        while (std::optional<MixStep> step = mic ? mixMicrophoneChunk() : mixSystemChunk())
            result.steps.push_back(std::move(*step));
    } else {
        result.noSourceEnabled = true;
    }
    return result;
}

bool AudioMixer::isStalled(Source source) const
{
    const size_t index = source == Source::Microphone ? 0 : 1;
    return !m_hasDelivered[index] || m_otherSamplesSinceDelivery[index] > stallSamples;
}

std::optional<MixStep> AudioMixer::mixBothSources()
{
    // A stalled source is filled with silence to within 0.1 s of the other.
    const size_t m = m_micBufferQueue.size();
    const size_t s = m_sysBufferQueue.size();
    if (m > s + lagLimitSamples && isStalled(Source::System))
        m_sysBufferQueue.appendZeros(m - s - lagLimitSamples);
    else if (s > m + lagLimitSamples && isStalled(Source::Microphone))
        m_micBufferQueue.appendZeros(s - m - lagLimitSamples);
    for (SampleQueue* queue : {&m_micBufferQueue, &m_sysBufferQueue}) {
        if (queue->size() > queueCapSamples)
            queue->dropFront(queue->size() - queueCapSamples);
    }

    const size_t frames = std::min(m_micBufferQueue.size() / 2, m_sysBufferQueue.size() / 2);
    if (frames < chunkFrames)
        return std::nullopt;
    const size_t n = 2 * frames;
    const int16_t* mic = m_micBufferQueue.data();
    const int16_t* sys = m_sysBufferQueue.data();

    const float targetCompensation = 1.0f / fetchInputHardwareVolume();
    float compensation = smoothedHwCompensation();
    const float micLevel = rms(mic, n) * compensation;

    const bool guard = isEchoGuardEnabled();
    float attenuationTarget = 1.0f;
    if (guard && !isHeadphonesOutput()) {
        if (micLevel <= echoGuardMicCeiling && rms(sys, n) > echoGuardSystemFloor)
            attenuationTarget = echoGuardAttenuation;
    }

    const float previousBoost = adaptiveMicBoost();
    const float boost = previousBoost + (boostTarget(micLevel) - previousBoost) * boostStep;
    m_adaptiveMicBoost.store(boost, std::memory_order_relaxed);
    // The step's new boost is reached at its last frame: a gain that jumped at
    // every step boundary would click.
    const float boostPerFrame = (boost - previousBoost) / static_cast<float>(frames);

    const float micGainNow = micGain();
    const float sysGainNow = sysGain();
    float attenuation = m_echoGuardCurrentAttenuation;
    MixStep step;
    step.samples.resize(n);
    int16_t* out = step.samples.data();
    int peak = 0;
    for (size_t i = 0; i < n; i += 2) {
        const float frameBoost = previousBoost + boostPerFrame * static_cast<float>(i / 2 + 1);
        // The ramp runs with the guard off too, so switching it on starts from where it is.
        attenuation += (attenuationTarget - attenuation)
            * (attenuation < attenuationTarget ? attenuationRiseStep : attenuationFallStep);
        compensation += (targetCompensation - compensation) * twoSourceCompensationStep;
        const float a = guard ? attenuation : 1.0f;
        const float k = compensation * micGainNow * a * frameBoost;
        const int16_t left = toSample(softClip(k * mic[i] + sysGainNow * sys[i]));
        const int16_t right = toSample(softClip(k * mic[i + 1] + sysGainNow * sys[i + 1]));
        out[i] = left;
        out[i + 1] = right;
        peak = std::max({peak, std::abs(int(left)), std::abs(int(right))});
    }
    m_echoGuardCurrentAttenuation = attenuation;
    m_smoothedHwCompensation.store(compensation, std::memory_order_relaxed);

    m_micBufferQueue.dropFront(n);
    m_sysBufferQueue.dropFront(n);
    step.amplitude = static_cast<float>(peak) / fullScale;
    return step;
}

std::optional<MixStep> AudioMixer::mixMicrophoneChunk()
{
    if (m_micBufferQueue.size() < chunkSamples)
        return std::nullopt;
    const int16_t* mic = m_micBufferQueue.data();
    const float targetCompensation = 1.0f / fetchInputHardwareVolume();
    float compensation = smoothedHwCompensation();
    const float micGainNow = micGain();
    const float boost = adaptiveMicBoost(); // not adapted without the system side to compare

    MixStep step;
    step.samples.resize(chunkSamples);
    float peak = 0;
    for (size_t i = 0; i < chunkSamples; ++i) {
        compensation += (targetCompensation - compensation) * micOnlyCompensationStep;
        const float y = compensation * micGainNow * boost * mic[i];
        peak = std::max(peak, std::abs(y));
        step.samples[i] = toSample(softClip(y));
    }
    m_smoothedHwCompensation.store(compensation, std::memory_order_relaxed);
    m_micBufferQueue.dropFront(chunkSamples);
    step.amplitude = peak / fullScale * singleSourceAmplitudeFactor;
    return step;
}

std::optional<MixStep> AudioMixer::mixSystemChunk()
{
    if (m_sysBufferQueue.size() < chunkSamples)
        return std::nullopt;
    const int16_t* sys = m_sysBufferQueue.data();
    const float sysGainNow = sysGain();

    MixStep step;
    step.samples.resize(chunkSamples);
    float peak = 0;
    for (size_t i = 0; i < chunkSamples; ++i) {
        const float y = sysGainNow * sys[i];
        peak = std::max(peak, std::abs(y));
        step.samples[i] = toSample(clampSingleSource(y));
    }
    m_sysBufferQueue.dropFront(chunkSamples);
    step.amplitude = peak / fullScale * singleSourceAmplitudeFactor;
    return step;
}

std::vector<int16_t> AudioMixer::flush()
{
    const bool mic = isMicEnabled();
    const bool system = isSystemAudioEnabled();
    const float micFactor = micGain() * smoothedHwCompensation();
    const float sysGainNow = sysGain();
    std::vector<int16_t> out;
    if (mic && system) {
        const size_t n = std::max(m_micBufferQueue.size(), m_sysBufferQueue.size());
        m_micBufferQueue.appendZeros(n - m_micBufferQueue.size());
        m_sysBufferQueue.appendZeros(n - m_sysBufferQueue.size());
        out.resize(n);
        const int16_t* micSamples = m_micBufferQueue.data();
        const int16_t* sysSamples = m_sysBufferQueue.data();
        for (size_t i = 0; i < n; ++i)
            out[i] = toSample(micFactor * micSamples[i] + sysGainNow * sysSamples[i]);
    } else if (mic) {
        out.resize(m_micBufferQueue.size());
        const int16_t* micSamples = m_micBufferQueue.data();
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = toSample(clampSingleSource(micFactor * micSamples[i]));
    } else if (system) {
        out.resize(m_sysBufferQueue.size());
        const int16_t* sysSamples = m_sysBufferQueue.data();
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = toSample(clampSingleSource(sysGainNow * sysSamples[i]));
    }
    m_micBufferQueue.clear();
    m_sysBufferQueue.clear();
    return out;
}
