#pragma once

#include "engines/enhancer/NoiseSuppressor.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class BlockWorker;

// Lowers the steady background under a voice, one noise suppressor per
// channel. The output lags the input by two hops: one while a hop is
// gathered, one inside the suppressor.
//
// A recording of the microphone alone has the same samples left and right.
// A hop whose two channels are equal is suppressed once, with the left
// suppressor, and the result serves both; the right suppressor skips it. When
// the channels part (system audio that starts later in the recording), the
// right suppressor takes on the left one's state first: fed the same audio,
// it would have got there itself.
class VoiceIsolation {
public:
    static constexpr size_t kFrameSize = NoiseSuppressor::kHop;

    explicit VoiceIsolation(int sampleRate);
    VoiceIsolation(const VoiceIsolation&) = delete;
    VoiceIsolation& operator=(const VoiceIsolation&) = delete;

    // Takes `frames` interleaved stereo frames and writes as many frames,
    // `latencyFrames()` behind, to the two channels as floats in [-1, 1).
    // With a `helper`, the right suppressor runs on it while this thread runs
    // the left one.
    void process(const int16_t* interleaved, size_t frames, float* left, float* right, BlockWorker* helper = nullptr);

    size_t latencyFrames() const { return 2 * kFrameSize; }

private:
    NoiseSuppressor m_suppressors[2];
    // The right suppressor skipped the last hops: its state is stale.
    bool m_rightBehind = false;
    // Input per channel not yet suppressed.
    std::vector<int16_t> m_input[2];
    // Output per channel not handed out yet, from `m_readyStart` on.
    std::vector<float> m_ready[2];
    size_t m_readyStart = 0;
};
