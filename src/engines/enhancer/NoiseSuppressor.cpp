#include "engines/enhancer/NoiseSuppressor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// How fast the noise floor may climb while the level stays above it: slow
// enough that a held vowel is not taken for noise, fast enough that a fan
// switched on is learnt within a few seconds.
constexpr double kFloorRiseDbPerSecond = 5.0;
// The floor follows the quietest smoothed power, which lies below the mean of
// the noise; this brings it back up to the mean (measured on Gaussian noise,
// whose power per frequency is distributed alike whatever its colour).
constexpr float kFloorToMean = 2.6f;
// Weight of last frame's clean power in the signal-to-noise estimate.
constexpr float kDecisionDirected = 0.98f;
// Weight of the past in the smoothed power.
constexpr float kPowerSmoothing = 0.7f;

} // namespace

NoiseSuppressor::NoiseSuppressor(int sampleRate, double maxSuppressionDb)
    : m_floorRise(float(std::pow(10.0, kFloorRiseDbPerSecond / 10.0 * double(kHop) / sampleRate)))
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
    m_state.previousInput.assign(kHop, 0.0f);
    m_state.overlap.assign(kHop, 0.0f);
    m_state.smoothedPower.assign(m_fft.bins(), 0.0f);
    m_state.noiseFloor.assign(m_fft.bins(), 0.0f);
    m_state.cleanPower.assign(m_fft.bins(), 0.0f);
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
    m_fft.forward();
    learnAndWeigh();
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

void NoiseSuppressor::learnAndWeigh()
{
    std::complex<float>* spectrum = m_fft.spectrum();
    const size_t bins = m_fft.bins();
    float* power = m_power.data();
    float* spread = m_spread.data();
    float* smoothed = m_state.smoothedPower.data();
    float* floor = m_state.noiseFloor.data();
    float* clean = m_state.cleanPower.data();
    for (size_t k = 0; k < bins; ++k)
        power[k] = spectrum[k].real() * spectrum[k].real() + spectrum[k].imag() * spectrum[k].imag();
    // Power spread over neighbouring frequencies: a steadier level to take
    // the quietest of. The ends take their one neighbour twice.
    spread[0] = 0.5f * (power[0] + power[1]);
    spread[bins - 1] = 0.5f * (power[bins - 1] + power[bins - 2]);
    for (size_t k = 1; k + 1 < bins; ++k)
        spread[k] = 0.5f * power[k] + 0.25f * (power[k - 1] + power[k + 1]);

    // The first window is half silence (nothing came before the file); the
    // second is the first whole one. Until then the noise is taken to be the
    // level itself: a floor brought down to where the quietest level of
    // steady noise would lie.
    if (m_state.frames < 2) {
        ++m_state.frames;
        for (size_t k = 0; k < bins; ++k) {
            smoothed[k] = spread[k];
            floor[k] = spread[k] * (1.0f / kFloorToMean);
        }
    }
    // Plain loops without branches, so the compiler can run them four
    // frequencies at a time.
    const float rise = m_floorRise;
    const float minimumGain = m_minimumGain;
    float* gains = spread;
    for (size_t k = 0; k < bins; ++k) {
        const float level = kPowerSmoothing * smoothed[k] + (1.0f - kPowerSmoothing) * spread[k];
        const float risen = floor[k] * rise;
        const float lowest = level < risen ? level : risen;
        smoothed[k] = level;
        floor[k] = lowest;

        // Signal-to-noise ratios, before (a posteriori) and after (a
        // priori) taking the noise out; the tiny term keeps digital silence
        // from dividing by zero.
        const float inverseNoise = 1.0f / (kFloorToMean * lowest + 1e-20f);
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
