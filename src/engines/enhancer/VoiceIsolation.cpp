#include "engines/enhancer/VoiceIsolation.h"

#include <algorithm>

#include <speex/speex_preprocess.h>

namespace {

// The isolation unit is set to a fully wet mix: its output replaces the
// input, with none of the original blended back. Speex's strength is the
// most it may lower noise; we read a fully wet isolation as 25 dB, ten more
// than speex's default. Speex never lowers what it takes for speech.
constexpr int kNoiseSuppressionDb = -25;

} // namespace

VoiceIsolation::VoiceIsolation(int sampleRate)
    : m_channels(2)
{
    for (Channel& channel : m_channels) {
        channel.state = speex_preprocess_state_init(static_cast<int>(kFrameSize), sampleRate);
        int on = 1;
        int off = 0;
        int suppression = kNoiseSuppressionDb;
        speex_preprocess_ctl(channel.state, SPEEX_PREPROCESS_SET_DENOISE, &on);
        speex_preprocess_ctl(channel.state, SPEEX_PREPROCESS_SET_NOISE_SUPPRESS, &suppression);
        // Levelling is the dynamics processor's job; dereverberation changes
        // more than noise. (Voice detection is off by default; asking for it
        // to be off only prints a warning.)
        speex_preprocess_ctl(channel.state, SPEEX_PREPROCESS_SET_AGC, &off);
        speex_preprocess_ctl(channel.state, SPEEX_PREPROCESS_SET_DEREVERB, &off);
        channel.frame.assign(kFrameSize, 0);
        // One frame of silence ahead of the first output, so every call can
        // hand out as many frames as it takes.
        channel.ready.assign(kFrameSize, 0.0f);
    }
}

VoiceIsolation::~VoiceIsolation()
{
    for (Channel& channel : m_channels)
        speex_preprocess_state_destroy(channel.state);
}

void VoiceIsolation::process(const int16_t* interleaved, size_t frames, float* left, float* right)
{
    processChannel(0, interleaved, frames, left);
    processChannel(1, interleaved, frames, right);
}

void VoiceIsolation::processChannel(int index, const int16_t* interleaved, size_t frames, float* out)
{
    Channel& channel = m_channels[static_cast<size_t>(index)];
    const int16_t* input = interleaved + index;
    size_t taken = 0;
    while (taken < frames) {
        const size_t count = std::min(kFrameSize - channel.frameFill, frames - taken);
        for (size_t i = 0; i < count; ++i)
            channel.frame[channel.frameFill + i] = input[2 * (taken + i)];
        channel.frameFill += count;
        taken += count;
        if (channel.frameFill == kFrameSize) {
            speex_preprocess_run(channel.state, channel.frame.data());
            for (int16_t sample : channel.frame)
                channel.ready.push_back(float(sample) / 32768.0f);
            channel.frameFill = 0;
        }
    }
    // A frame of latency guarantees that `frames` outputs are ready.
    std::copy_n(channel.ready.begin() + static_cast<std::ptrdiff_t>(channel.readyStart), frames, out);
    channel.readyStart += frames;
    if (channel.readyStart >= kFrameSize) {
        channel.ready.erase(channel.ready.begin(), channel.ready.begin() + static_cast<std::ptrdiff_t>(channel.readyStart));
        channel.readyStart = 0;
    }
}
