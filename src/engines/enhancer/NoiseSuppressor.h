#pragma once

#include "engines/enhancer/RealFft.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Lowers the steady background of one channel by short-time spectral
// weighting: windows of kWindow samples every kHop samples, a noise estimate
// per frequency that follows the quietest recent level, and a Wiener gain
// from the "decision-directed" signal-to-noise estimate, which changes
// smoothly enough from frame to frame not to leave a warbling residue.
// Output lags input by kHop samples.
class NoiseSuppressor {
public:
    // About 23 ms windows every 11.6 ms at 44.1 kHz: short enough to follow
    // syllables, long enough to tell a voice's harmonics apart.
    static constexpr size_t kWindow = 1024;
    static constexpr size_t kHop = kWindow / 2;

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
        // Per frequency: power smoothed over time, the noise floor under it,
        // and last frame's estimate of the clean power.
        std::vector<float> smoothedPower;
        std::vector<float> noiseFloor;
        std::vector<float> cleanPower;
        // Frames seen, counted up to two.
        int frames = 0;
    };

    void learnAndWeigh();

    float m_floorRise;
    float m_minimumGain;
    // Scratch per frequency: this frame's power, then its spread, then the
    // gains.
    std::vector<float> m_power;
    std::vector<float> m_spread;
    std::vector<float> m_window;
    State m_state;
    RealFft m_fft;
};
