#pragma once

#include "audio/AudioHardwareProbe.h"
#include "audio/SampleQueue.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// What one mixing step produced: 44,100 Hz interleaved stereo samples and the
// step's amplitude (single-source steps scale it by 1.5, so it can exceed 1).
struct MixStep {
    std::vector<int16_t> samples;
    float amplitude = 0;
};

// Mixes the microphone and the system audio of a recording into one stereo
// stream: two gains, an echo guard that lowers a quiet microphone while the
// speakers play, an adaptive boost for a soft voice, compensation of a lowered
// hardware input volume and a soft clip.
//
// With both sources, a source that has not delivered yet in this recording,
// or has been silent while the other delivered a quarter of a second, is
// stalled: the other source is mixed against silence, leading it by at most a
// tenth of a second. A source that still delivers is never padded, however
// unevenly its pieces come: its late samples are on their way, and silence in
// their place would cut a gap into the recording.
//
// The recorder that owns it:
// - creates it once with its hardware probe (the constructor already sets the
//   compensation from the input volume) and forwards its gain and switch
//   properties to the setters, from any thread; a change counts from the next
//   step;
// - on its serial mixer queue, and only there:
//   * reset() when a recording starts, before the encoder is created;
//   * mixDelivery() once per buffer a capture delivered while recording with
//     that source enabled; for each returned step, in order: encode
//     step.samples, hand them to onMixedAudioSamples, add min(step.amplitude,
//     1) to the live waveform, then the level report. A result with
//     noSourceEnabled asks for the level report alone; no steps, nothing;
//   * flush() at stop, after every delivery queued before it; encode what it
//     returns (even nothing). No levels, waveform or amplitude for the flush;
//   (encode throws the encoder's write error, which the recorder must catch
//   on the queue and report at stop rather than lose);
// - from any thread, for the level report: fetchInputHardwareVolume(),
//   micGain(), adaptiveMicBoost(), smoothedHwCompensation(), and
//   snapCompensationToInputVolume() while not recording.
class AudioMixer {
public:
    enum class Source { Microphone, System };

    struct DeliveryResult {
        std::vector<MixStep> steps;
        bool noSourceEnabled = false;
    };

    // Seconds on a monotonic scale; only differences are used.
    using Clock = std::function<double()>;

    static constexpr size_t chunkFrames = 576;
    static constexpr size_t chunkSamples = 2 * chunkFrames;
    static constexpr size_t lagLimitSamples = 8820;   // 0.1 s
    static constexpr size_t stallSamples = 22050;     // 0.25 s of the other source
    static constexpr size_t queueCapSamples = 220500; // 2.5 s

    explicit AudioMixer(std::shared_ptr<AudioHardwareProbe> probe, Clock clock = {});
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    // Mixer queue.
    void reset();
    DeliveryResult mixDelivery(Source source, const int16_t* samples, size_t count);
    DeliveryResult mixDelivery(Source source, const std::vector<int16_t>& samples)
    {
        return mixDelivery(source, samples.data(), samples.size());
    }
    std::vector<int16_t> flush();
    bool isHeadphonesOutput();
    float echoGuardCurrentAttenuation() const { return m_echoGuardCurrentAttenuation; }
    size_t micQueuedSamples() const { return m_micBufferQueue.size(); }
    size_t sysQueuedSamples() const { return m_sysBufferQueue.size(); }

    // Any thread.
    void setMicGain(float gain) { m_micGain.store(gain, std::memory_order_relaxed); }
    void setSysGain(float gain) { m_sysGain.store(gain, std::memory_order_relaxed); }
    void setMicEnabled(bool on) { m_isMicEnabled.store(on, std::memory_order_relaxed); }
    void setSystemAudioEnabled(bool on) { m_isSystemAudioEnabled.store(on, std::memory_order_relaxed); }
    void setEchoGuardEnabled(bool on) { m_isEchoGuardEnabled.store(on, std::memory_order_relaxed); }
    float micGain() const { return m_micGain.load(std::memory_order_relaxed); }
    float sysGain() const { return m_sysGain.load(std::memory_order_relaxed); }
    bool isMicEnabled() const { return m_isMicEnabled.load(std::memory_order_relaxed); }
    bool isSystemAudioEnabled() const { return m_isSystemAudioEnabled.load(std::memory_order_relaxed); }
    bool isEchoGuardEnabled() const { return m_isEchoGuardEnabled.load(std::memory_order_relaxed); }
    float adaptiveMicBoost() const { return m_adaptiveMicBoost.load(std::memory_order_relaxed); }
    float smoothedHwCompensation() const { return m_smoothedHwCompensation.load(std::memory_order_relaxed); }

    // Input volume clamped to 0.15 ... 1.0, 1.0 when unknown; asks the probe at
    // most every 0.25 s.
    float fetchInputHardwareVolume();
    // Sets the compensation to 1 / input volume at once instead of gliding there.
    void snapCompensationToInputVolume();

    // The extra microphone gain a step aims for at this compensated level.
    static float boostTarget(float micLevel);
    // Magnitudes up to 28,000 pass; above, they bend smoothly toward 32,760,
    // continuing the line without a step.
    static float softClip(float y);
    // Truncates toward zero, then clamps to the 16-bit range.
    static int16_t toSample(float y);

private:
    std::optional<MixStep> mixBothSources();
    bool isStalled(Source source) const;
    std::optional<MixStep> mixMicrophoneChunk();
    std::optional<MixStep> mixSystemChunk();

    std::shared_ptr<AudioHardwareProbe> m_probe;
    Clock m_clock;

    SampleQueue m_micBufferQueue;
    SampleQueue m_sysBufferQueue;
    // Per source (microphone, system): whether it delivered in this recording,
    // and how many samples the other source delivered since it last did.
    bool m_hasDelivered[2] = {false, false};
    size_t m_otherSamplesSinceDelivery[2] = {0, 0};

    std::atomic<bool> m_isMicEnabled{true};
    std::atomic<bool> m_isSystemAudioEnabled{true};
    std::atomic<float> m_micGain{1.2f};
    std::atomic<float> m_sysGain{0.9f};
    std::atomic<bool> m_isEchoGuardEnabled{true};

    float m_echoGuardCurrentAttenuation = 1.0f;
    std::atomic<float> m_adaptiveMicBoost{1.0f};
    std::atomic<float> m_smoothedHwCompensation{1.0f};

    std::mutex m_hwVolumeLock; // never held across the probe
    std::optional<double> m_lastHardwareVolumeCheck;
    float m_cachedHardwareVolume = 1.0f;

    bool m_cachedIsHeadphones = false;
    std::optional<double> m_lastHeadphonesCheckTime;
};
