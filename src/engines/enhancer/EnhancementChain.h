#pragma once

#include "engines/enhancer/BlockWorker.h"
#include "engines/enhancer/DynamicsProcessor.h"
#include "engines/enhancer/PeakLimiter.h"
#include "engines/enhancer/VoiceEqualizer.h"
#include "engines/enhancer/VoiceIsolation.h"

#include <cstddef>
#include <cstdint>

// The enhancer's chain at 44.1 kHz stereo: voice isolation, the equaliser,
// the dynamics processor and the peak limiter, block by block. The output
// lags the input by a fixed number of frames.
class EnhancementChain {
public:
    static constexpr int kSampleRate = 44100;

    EnhancementChain();

    // Runs `frames` interleaved 16-bit frames through the chain and writes as
    // many frames of output, `latencyFrames()` behind, to `left` and `right`.
    // With a `helper`, the right channel's isolation (the costliest stage)
    // runs on it while this thread isolates the left one, when the two
    // channels differ. True when the two channels of the output are equal.
    bool process(const int16_t* interleaved, size_t frames, float* left, float* right, BlockWorker* helper = nullptr);

    size_t latencyFrames() const { return m_isolation.latencyFrames() + m_limiter.latencyFrames(); }

private:
    VoiceIsolation m_isolation;
    VoiceEqualizer m_equalizer;
    DynamicsProcessor m_dynamics;
    PeakLimiter m_limiter;
};
