#include "engines/enhancer/NoiseSuppressor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// How far back the quietest level is sought: longer than a held vowel or a
// word, so speech does not pass for noise; short enough that a background
// that gets louder (a fan switched on) is learnt within two seconds.
constexpr double kLookBackSeconds = 2.0;
// The quietest smoothed power lies below the mean power of the noise; this
// brings it back up to the mean. Measured on Gaussian noise, whose power per
// frequency is distributed alike whatever its colour.
constexpr float kLowestToMean = 2.3f;
// Weight of last frame's clean power in the signal-to-noise estimate.
constexpr float kDecisionDirected = 0.98f;
// Weight of the past in the smoothed power.
constexpr float kPowerSmoothing = 0.7f;
// Frames for the smoothed power to settle: its weight of the past to the
// eighth power is under 6 %.
constexpr int kSettlingFrames = 8;
// No level yet: everything is taken for noise.
constexpr float kNothingLearnt = 1e30f;

// Frames in each stretch: the look-back is the kept stretches and the
// current one.
size_t stretchFrames(int sampleRate)
{
    const double frames = kLookBackSeconds * sampleRate / double(NoiseSuppressor::kHop);
    return std::max<size_t>(1, static_cast<size_t>(std::lround(frames / (NoiseSuppressor::kStretches + 1))));
}

} // namespace

NoiseSuppressor::NoiseSuppressor(int sampleRate, double maxSuppressionDb)
    : m_stretchFrames(stretchFrames(sampleRate))
    , m_minimumGain(float(std::pow(10.0, -maxSuppressionDb / 20.0)))
    , m_power(kWindow / 2 + 1)
    , m_spread(kWindow / 2 + 1)
    , m_window(kWindow)
    , m_fft(kWindow)
{
    // The square root of a periodic Hann window, before and after: the
    // squares of windows half a window apart add up to one.
    for (size_t i = 0; i < kWindow; ++i)
        m_window[i] = float(std::sqrt(0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / kWindow)));
    const size_t bins = m_fft.bins();
    m_state.previousInput.assign(kHop, 0.0f);
    m_state.overlap.assign(kHop, 0.0f);
    m_state.smoothedPower.assign(bins, 0.0f);
    m_state.currentLowest.assign(bins, kNothingLearnt);
    m_state.stretchLowest.assign(kStretches * bins, kNothingLearnt);
    m_state.pastLowest.assign(bins, kNothingLearnt);
    m_state.cleanPower.assign(bins, 0.0f);
}

void NoiseSuppressor::copyStateFrom(const NoiseSuppressor& other)
{
    m_state = other.m_state;
}

void NoiseSuppressor::process(const int16_t* in, float* out)
{
    float* time = m_fft.time();
    float* previous = m_state.previousInput.data();
    const float* window = m_window.data();
    for (size_t i = 0; i < kHop; ++i) {
        const float sample = float(in[i]) * (1.0f / 32768.0f);
        time[i] = previous[i] * window[i];
        time[kHop + i] = sample * window[kHop + i];
        previous[i] = sample;
    }
    const bool sound = holdsSound(in);
    // Only a window wholly of sound is learnt from: digital silence (the
    // start of a decoded file, a muted input) tells nothing of the noise that
    // comes with sound, and a window half of it is too quiet.
    const bool learnable = sound && m_state.previousHopSound;
    m_state.previousHopSound = sound;
    m_fft.forward();
    const std::complex<float>* spectrum = m_fft.spectrum();
    float* power = m_power.data();
    for (size_t k = 0; k < m_fft.bins(); ++k)
        power[k] = spectrum[k].real() * spectrum[k].real() + spectrum[k].imag() * spectrum[k].imag();
    if (learnable)
        learn();
    weigh();
    m_fft.inverse();

    // The window again, the transform's scale, and the overlap with the
    // frame before.
    const float scale = 1.0f / float(kWindow);
    float* overlap = m_state.overlap.data();
    for (size_t i = 0; i < kHop; ++i) {
        out[i] = overlap[i] + time[i] * window[i] * scale;
        overlap[i] = time[kHop + i] * window[kHop + i] * scale;
    }
}

bool NoiseSuppressor::holdsSound(const int16_t* hop)
{
    // Decoders and muted inputs give exact zeros or a step or two around
    // them; a recorded background is tens of steps.
    constexpr int kSilentSteps = 2;
    int loudest = 0;
    for (size_t i = 0; i < kHop; ++i) {
        const int magnitude = hop[i] < 0 ? -hop[i] : hop[i];
        loudest = magnitude > loudest ? magnitude : loudest;
    }
    return loudest > kSilentSteps;
}

void NoiseSuppressor::learn()
{
    const size_t bins = m_fft.bins();
    const float* power = m_power.data();
    float* spread = m_spread.data();
    float* smoothed = m_state.smoothedPower.data();
    float* current = m_state.currentLowest.data();
    // Power spread over neighbouring frequencies: a steadier level to take
    // the quietest of. The ends take their one neighbour twice.
    spread[0] = 0.5f * (power[0] + power[1]);
    spread[bins - 1] = 0.5f * (power[bins - 1] + power[bins - 2]);
    for (size_t k = 1; k + 1 < bins; ++k)
        spread[k] = 0.5f * power[k] + 0.25f * (power[k - 1] + power[k + 1]);

    // The smoothing starts from one frame's level, which may lie far below
    // the noise's mean: the search for the quietest level waits until it
    // has settled (until then everything is taken for noise).
    if (m_state.framesLearnt == 0)
        std::copy_n(spread, bins, smoothed);
    const bool settled = m_state.framesLearnt >= kSettlingFrames;
    m_state.framesLearnt += settled ? 0 : 1;
    // Plain loops without branches, so the compiler can run them four
    // frequencies at a time.
    for (size_t k = 0; k < bins; ++k) {
        const float level = kPowerSmoothing * smoothed[k] + (1.0f - kPowerSmoothing) * spread[k];
        smoothed[k] = level;
    }
    if (!settled)
        return;
    for (size_t k = 0; k < bins; ++k)
        current[k] = smoothed[k] < current[k] ? smoothed[k] : current[k];
    if (++m_state.framesInStretch < m_stretchFrames)
        return;
    // A stretch is complete: it replaces the oldest, and the lowest of all
    // of them is found again.
    m_state.framesInStretch = 0;
    std::copy_n(current, bins, m_state.stretchLowest.data() + m_state.oldestStretch * bins);
    m_state.oldestStretch = (m_state.oldestStretch + 1) % kStretches;
    std::fill_n(current, bins, kNothingLearnt);
    float* lowest = m_state.pastLowest.data();
    std::fill_n(lowest, bins, kNothingLearnt);
    for (size_t s = 0; s < kStretches; ++s) {
        const float* stretch = m_state.stretchLowest.data() + s * bins;
        for (size_t k = 0; k < bins; ++k)
            lowest[k] = stretch[k] < lowest[k] ? stretch[k] : lowest[k];
    }
}

void NoiseSuppressor::weigh()
{
    std::complex<float>* spectrum = m_fft.spectrum();
    const size_t bins = m_fft.bins();
    const float* power = m_power.data();
    const float* current = m_state.currentLowest.data();
    const float* past = m_state.pastLowest.data();
    float* clean = m_state.cleanPower.data();
    float* gains = m_spread.data();
    const float minimumGain = m_minimumGain;
    for (size_t k = 0; k < bins; ++k) {
        const float lowest = current[k] < past[k] ? current[k] : past[k];
        // Signal-to-noise ratios, before (a posteriori) and after (a
        // priori) taking the noise out; the tiny term keeps a silent
        // background from dividing by zero.
        const float inverseNoise = 1.0f / (kLowestToMean * lowest + 1e-20f);
        const float posteriori = power[k] * inverseNoise;
        const float beyond = posteriori - 1.0f;
        const float excess = beyond > 0.0f ? beyond : 0.0f;
        const float priori = kDecisionDirected * clean[k] * inverseNoise + (1.0f - kDecisionDirected) * excess;
        const float wiener = priori / (1.0f + priori);
        const float gain = wiener > minimumGain ? wiener : minimumGain;
        clean[k] = gain * gain * power[k];
        gains[k] = gain;
    }
    for (size_t k = 0; k < bins; ++k)
        spectrum[k] *= gains[k];
}
