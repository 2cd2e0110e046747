#include "engines/enhancer/VoiceIsolation.h"

#include "engines/enhancer/BlockWorker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <numbers>

#include <speex/speex_preprocess.h>

namespace {

// The isolation unit is set to a fully wet mix: its output replaces the
// input, with none of the original blended back. Speex's strength is the
// most it may lower noise; we read a fully wet isolation as 25 dB, ten more
// than speex's default. Speex never lowers what it takes for speech.
constexpr int kNoiseSuppressionDb = -25;

constexpr size_t kFrameSize = VoiceIsolation::kFrameSize;
// Decoders and muted inputs give exact zeros or a step or two around them; a
// recorded background is tens of steps.
constexpr int kSilentSteps = 2;
// A start on a voice: the loudest frame of the first quarter second (ten
// frames) is this far above the quietest quarter second's mean frame. A
// steady hiss's frames stay within 1.2 times it; the first frames of a word
// at 0 dB SNR reach more than twice it.
constexpr size_t kOnsetFrames = 10;
constexpr double kVoiceOverBackground = 1.6; // 2 dB

bool isSilent(const int16_t* frame)
{
    return std::all_of(frame, frame + kFrameSize, [](int16_t x) { return std::abs(x) <= kSilentSteps; });
}

void toFloat(const int16_t* in, float* out)
{
    for (size_t i = 0; i < kFrameSize; ++i)
        out[i] = float(in[i]) * (1.0f / 32768.0f);
}

} // namespace

VoiceIsolation::VoiceIsolation(int sampleRate)
    : m_sampleRate(sampleRate)
    , m_skipped(kCatchUpFrames * kFrameSize)
{
    for (int channel = 0; channel < 2; ++channel) {
        m_suppressors[channel] = newSuppressor();
        // Silence ahead of the first output while the first frames are
        // gathered to learn from, so every call can hand out as many frames
        // as it takes.
        m_ready[channel].assign(kLearningFrames * kFrameSize, 0.0f);
    }
}

VoiceIsolation::~VoiceIsolation()
{
    for (SpeexPreprocessState_* suppressor : m_suppressors)
        speex_preprocess_state_destroy(suppressor);
}

SpeexPreprocessState_* VoiceIsolation::newSuppressor() const
{
    SpeexPreprocessState_* state = speex_preprocess_state_init(static_cast<int>(kFrameSize), m_sampleRate);
    int on = 1;
    int off = 0;
    int suppression = kNoiseSuppressionDb;
    speex_preprocess_ctl(state, SPEEX_PREPROCESS_SET_DENOISE, &on);
    speex_preprocess_ctl(state, SPEEX_PREPROCESS_SET_NOISE_SUPPRESS, &suppression);
    // Levelling is the dynamics processor's job; dereverberation changes
    // more than noise. (Voice detection is off by default; asking for it
    // to be off only prints a warning.)
    speex_preprocess_ctl(state, SPEEX_PREPROCESS_SET_AGC, &off);
    speex_preprocess_ctl(state, SPEEX_PREPROCESS_SET_DEREVERB, &off);
    return state;
}

void VoiceIsolation::process(const int16_t* interleaved, size_t frames, float* left, float* right, BlockWorker* helper)
{
    const size_t pending = m_input[0].size();
    m_input[0].resize(pending + frames);
    m_input[1].resize(pending + frames);
    int16_t* inLeft = m_input[0].data();
    int16_t* inRight = m_input[1].data();
    for (size_t i = 0; i < frames; ++i) {
        inLeft[pending + i] = interleaved[2 * i];
        inRight[pending + i] = interleaved[2 * i + 1];
    }

    size_t frameCount = (pending + frames) / kFrameSize;
    if (!m_learnt) {
        if (frameCount < kLearningFrames)
            frameCount = 0;
        else {
            // Both channels, even when equal: what the right one learns
            // then stays true to it if the channels part later.
            learn(0);
            learn(1);
            m_learnt = true;
        }
    }
    m_sameFrame.resize(frameCount);
    bool anyDifferent = false;
    for (size_t f = 0; f < frameCount; ++f) {
        const size_t at = f * kFrameSize;
        m_sameFrame[f] = std::memcmp(inLeft + at, inRight + at, kFrameSize * sizeof(int16_t)) == 0;
        anyDifferent = anyDifferent || !m_sameFrame[f];
    }

    // The right suppressor reads only the right input, the left one only
    // the left input, so the two may run at once.
    const auto runLeft = [&] {
        for (size_t f = 0; f < frameCount; ++f)
            suppress(0, inLeft + f * kFrameSize);
    };
    if (helper && anyDifferent) {
        helper->start([this, frameCount] { runRight(frameCount); });
        runLeft();
        helper->wait();
    } else {
        runLeft();
        runRight(frameCount);
    }

    const size_t readyEnd = m_ready[0].size();
    m_ready[0].resize(readyEnd + frameCount * kFrameSize);
    m_ready[1].resize(readyEnd + frameCount * kFrameSize);
    for (size_t f = 0; f < frameCount; ++f) {
        const size_t at = f * kFrameSize;
        float* readyLeft = m_ready[0].data() + readyEnd + at;
        float* readyRight = m_ready[1].data() + readyEnd + at;
        toFloat(inLeft + at, readyLeft);
        if (m_sameFrame[f])
            std::copy_n(readyLeft, kFrameSize, readyRight);
        else
            toFloat(inRight + at, readyRight);
    }
    const auto used = static_cast<std::ptrdiff_t>(frameCount * kFrameSize);
    m_input[0].erase(m_input[0].begin(), m_input[0].begin() + used);
    m_input[1].erase(m_input[1].begin(), m_input[1].begin() + used);

    // A frame of latency guarantees that `frames` outputs are ready.
    const auto start = static_cast<std::ptrdiff_t>(m_readyStart);
    std::copy_n(m_ready[0].begin() + start, frames, left);
    std::copy_n(m_ready[1].begin() + start, frames, right);
    m_readyStart += frames;
    if (m_readyStart >= kFrameSize) {
        for (std::vector<float>& ready : m_ready)
            ready.erase(ready.begin(), ready.begin() + static_cast<std::ptrdiff_t>(m_readyStart));
        m_readyStart = 0;
    }
}

void VoiceIsolation::learn(int channel)
{
    const int16_t* input = m_input[channel].data();
    std::vector<int16_t> frame(kFrameSize);
    std::vector<double> energy; // of the frames of sound, in order
    for (size_t f = 0; f < kLearningFrames; ++f) {
        const int16_t* samples = input + f * kFrameSize;
        // Digital silence (a decoder's lead-in, a muted input, the end of a
        // short file) tells nothing of the background that comes with sound.
        if (isSilent(samples))
            continue;
        energy.push_back(std::inner_product(samples, samples + kFrameSize, samples, 0.0));
        std::copy_n(samples, kFrameSize, frame.data());
        speex_preprocess_run(m_suppressors[channel], frame.data());
    }
    std::fill(frame.begin(), frame.end(), int16_t(0));
    speex_preprocess_run(m_suppressors[channel], frame.data());

    // Does the recording start on a voice? Its first quarter second then
    // has a frame well above the quietest quarter second of sound heard; a
    // start on a steady background alone has none.
    m_fadeDone[channel] = kFirstSoundFadeSamples;
    if (energy.size() < kOnsetFrames)
        return;
    double quietest = std::accumulate(energy.begin(), energy.begin() + kOnsetFrames, 0.0);
    double sum = quietest;
    for (size_t f = kOnsetFrames; f < energy.size(); ++f) {
        sum += energy[f] - energy[f - kOnsetFrames];
        quietest = std::min(quietest, sum);
    }
    const double loudest = *std::max_element(energy.begin(), energy.begin() + kOnsetFrames);
    if (loudest > kVoiceOverBackground * quietest / kOnsetFrames)
        m_fadeDone[channel] = 0;
}

void VoiceIsolation::suppress(int channel, int16_t* frame)
{
    // Digital silence before the first sound (a decoder's lead-in, a muted
    // start) would make speex forget the background it has just learnt; it
    // waits instead, and gives out silence. Later silences are its own
    // business, as they are for speex on its own.
    if (!m_heardSound[channel] && isSilent(frame)) {
        std::fill_n(frame, kFrameSize, int16_t(0));
        return;
    }
    // Speex gives out the previous frame's samples: those of the first sound
    // come out of the call after it.
    const bool fading = m_heardSound[channel] && m_fadeDone[channel] < kFirstSoundFadeSamples;
    m_heardSound[channel] = true;
    std::vector<int16_t>& previous = m_previousInput[channel];
    std::array<int16_t, kFrameSize> input;
    if (m_fadeDone[channel] < kFirstSoundFadeSamples)
        std::copy_n(frame, kFrameSize, input.begin());
    speex_preprocess_run(m_suppressors[channel], frame);
    if (!fading) {
        if (m_fadeDone[channel] < kFirstSoundFadeSamples)
            previous.assign(input.begin(), input.end());
        return;
    }
    // The first word is weighed against a background learnt mostly from
    // speech, and often lowered by several decibels where a later word,
    // after a pause, would not be. Its unsuppressed sound is faded out
    // under the suppressed one over the first sound's start, so the voice is
    // heard whole first and the background goes down soon after.
    for (size_t i = 0; i < kFrameSize && m_fadeDone[channel] < kFirstSoundFadeSamples; ++i, ++m_fadeDone[channel]) {
        const double kept = 0.5 + 0.5 * std::cos(std::numbers::pi * double(m_fadeDone[channel]) / kFirstSoundFadeSamples);
        frame[i] = static_cast<int16_t>(std::lround(kept * previous[i] + (1 - kept) * frame[i]));
    }
    previous.assign(input.begin(), input.end());
}

void VoiceIsolation::runRight(size_t frameCount)
{
    int16_t* in = m_input[1].data();
    for (size_t f = 0; f < frameCount; ++f) {
        int16_t* frame = in + f * kFrameSize;
        if (m_sameFrame[f]) {
            std::copy_n(frame, kFrameSize, m_skipped.data() + (m_skippedCount % kCatchUpFrames) * kFrameSize);
            ++m_skippedCount;
        } else {
            catchUpRight();
            suppress(1, frame);
        }
    }
}

void VoiceIsolation::catchUpRight()
{
    if (m_skippedCount == 0)
        return;
    size_t first = 0;
    if (m_skippedCount > kCatchUpFrames) {
        // What the suppressor learnt before the skipped stretch is stale.
        speex_preprocess_state_destroy(m_suppressors[1]);
        m_suppressors[1] = newSuppressor();
        m_heardSound[1] = false;
        first = m_skippedCount - kCatchUpFrames;
    }
    // Its output is not used: the left suppressor's stood in for it.
    for (size_t k = first; k < m_skippedCount; ++k)
        suppress(1, m_skipped.data() + (k % kCatchUpFrames) * kFrameSize);
    m_skippedCount = 0;
}
