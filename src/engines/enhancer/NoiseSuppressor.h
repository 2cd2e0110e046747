#pragma once

#include "engines/enhancer/RealFft.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Lowers the steady background of one channel by short-time spectral
// weighting: windows of kWindow samples every kHop samples, a noise estimate
// per frequency from the quietest level of the last two seconds, and a
// Wiener gain from the "decision-directed" signal-to-noise estimate, which
// changes smoothly enough from frame to frame not to leave a warbling residue.
// Output lags input by kHop samples.
class NoiseSuppressor {
public:
    // About 23 ms windows every 11.6 ms at 44.1 kHz: short enough to follow
    // syllables, long enough to tell a voice's harmonics apart.
    static constexpr size_t kWindow = 1024;
    static constexpr size_t kHop = kWindow / 2;
    // The quietest level is kept per stretch of frames; the noise estimate
    // is the lowest of the last kStretches stretches and the current one.
    static constexpr size_t kStretches = 7;

    NoiseSuppressor(int sampleRate, double maxSuppressionDb);
    NoiseSuppressor(const NoiseSuppressor&) = delete;
    NoiseSuppressor& operator=(const NoiseSuppressor&) = delete;

    // Takes kHop samples and writes the kHop samples of output they complete,
    // as floats in [-1, 1).
    void process(const int16_t* in, float* out);

    // Takes on everything `other` has learnt and still holds: afterwards this
    // one gives what `other` gives for the same input.
    void copyStateFrom(const NoiseSuppressor& other);

private:
    struct State {
        // The last kHop input samples and the second half of the last
        // windowed output, still to be added to the next one.
        std::vector<float> previousInput;
        std::vector<float> overlap;
        // Per frequency: power smoothed over time; its lowest value in the
        // current stretch, in each of the last kStretches stretches (a ring
        // of per-frequency vectors, `oldestStretch` the next to be replaced)
        // and in all of those.
        std::vector<float> smoothedPower;
        std::vector<float> currentLowest;
        std::vector<float> stretchLowest;
        std::vector<float> pastLowest;
        size_t oldestStretch = 0;
        size_t framesInStretch = 0;
        // Last frame's estimate of the clean power, per frequency.
        std::vector<float> cleanPower;
        int framesLearnt = 0; // counted up to the settling time
        bool previousHopSound = false;
    };

    static bool holdsSound(const int16_t* hop);
    void learn();
    void weigh();

    size_t m_stretchFrames;
    float m_minimumGain;
    // Scratch per frequency: this frame's power, then its spread, then the
    // gains.
    std::vector<float> m_power;
    std::vector<float> m_spread;
    std::vector<float> m_window;
    State m_state;
    RealFft m_fft;
};
