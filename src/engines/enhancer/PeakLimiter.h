#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A look-ahead peak limiter, stereo-linked: the signal is delayed by the
// attack time, and the gain for a peak is in place, reached by a linear ramp
// over the attack, when the peak leaves the delay. Nothing it outputs exceeds
// the ceiling. The gain recovers with the decay time as its time constant.
class PeakLimiter {
public:
    PeakLimiter(double sampleRate, double attackSeconds = 0.001, double decaySeconds = 0.02, float ceiling = 1.0f);

    void process(float* left, float* right, size_t frames);
    // The same for a block whose right channel equals its left, when
    // `delaysSameChannels()`: only the left one is limited (the right one
    // would come out the same).
    void processSame(float* samples, size_t frames);
    // The frames in the delay line are the same in both channels.
    bool delaysSameChannels() const { return m_rightIsLeft || m_delayLeft == m_delayRight; }

    // Frames by which the output lags the input.
    size_t latencyFrames() const { return m_window - 1; }

private:
    template <bool Same>
    void run(float* left, float* right, size_t frames);

    float m_ceiling;
    size_t m_window;       // attack in frames: the ramp's length and the hold
    double m_decayCoefficient;
    // The delay line, a ring of `m_window` frames.
    std::vector<float> m_delayLeft, m_delayRight;
    // Sliding minimum of the needed gains over the window: a ring of
    // (position, gain) pairs with gains increasing from front to back.
    std::vector<int64_t> m_minPositions;
    std::vector<float> m_minGains;
    size_t m_minFront = 0, m_minSize = 0;
    // The gains of the last `m_window` frames and their sum, for the ramp.
    std::vector<double> m_recentGains;
    double m_recentSum;
    double m_gain = 1;
    int64_t m_position = 0;
    size_t m_slot = 0; // position modulo the window
    // Frames in a row that needed no limiting while the gain was one.
    size_t m_unityFrames = 0;
    // The right delay line was skipped by `processSame`: it is the left one.
    bool m_rightIsLeft = false;
};
