#pragma once

#include "audio/CapturedBuffer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// Collects what a capture delivers, as 16-bit stereo for the tone detector,
// and checks that every delivery has the layout the captures promise.
class CapturedAudio {
public:
    std::function<void(const CapturedBuffer&)> handler();

    size_t frames() const;
    int deliveries() const { return m_deliveries; }
    bool allWellFormed() const { return m_allWellFormed; }
    std::vector<int16_t> samples() const;
    // Samples from frame `first` on.
    std::vector<int16_t> samplesFrom(size_t first) const;
    double peakAmplitude(double frequency) const;
    double peakAmplitudeFrom(size_t firstFrame, double frequency) const;

private:
    mutable std::mutex m_mutex;
    std::vector<int16_t> m_samples;
    std::atomic<int> m_deliveries{0};
    std::atomic<bool> m_allWellFormed{true};
};
