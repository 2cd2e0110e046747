#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BlockWorker;
struct SpeexPreprocessState_;

// Lowers the steady background under a voice with speexdsp's noise
// suppression, one suppressor per channel.
//
// A fresh speex learns nothing for its first 0.7 s and needs about two
// seconds more to know the background: the start of a recording would keep
// its noise. So the first `kLearningFrames` frames are heard twice: each
// suppressor first runs over them only to learn the background (its output
// dropped), then over the whole recording from its start. Speech at the very
// start is then weighed against a known background, never taken for it. Yet
// when the recording starts on a voice, that background was learnt mostly
// under speech and would lower the first word more than a later one: the
// first sound's unsuppressed samples then fade out under the suppressed ones
// over its first `kFirstSoundFadeSamples`. The
// output lags the input by those frames, the frame being gathered, and one
// inside speex, whose overlapping windows give out each frame's samples when
// the next frame has come in.
//
// A recording of the microphone alone has the same samples left and right.
// A frame whose two channels are equal is suppressed once, with the left
// suppressor, and the result serves both; the right suppressor skips it. When
// the channels part (system audio that starts later in the recording), the
// right suppressor first runs over the frames it skipped, so it meets the new
// frame with a noise estimate learnt from the same audio as the left one's:
// all of them when they are few (it is then exactly where it would have been),
// else a fresh suppressor over the last `kCatchUpFrames`: a fresh speex needs
// a few seconds of audio to settle on a steady background (about three for
// a hiss under speech).
class VoiceIsolation {
public:
    // About 23 ms at 44.1 kHz: speex is tuned for 10 to 30 ms frames, and a
    // power of two keeps its FFT fast.
    static constexpr size_t kFrameSize = 1024;
    // About 6 s at 44.1 kHz.
    static constexpr size_t kCatchUpFrames = 256;
    // About 3 s at 44.1 kHz: long enough to hold pauses between phrases.
    static constexpr size_t kLearningFrames = 128;
    // About 0.9 s at 44.1 kHz: the first sound's unsuppressed samples fade
    // out under the suppressed ones over this long.
    static constexpr size_t kFirstSoundFadeSamples = 40 * kFrameSize;

    explicit VoiceIsolation(int sampleRate);
    ~VoiceIsolation();
    VoiceIsolation(const VoiceIsolation&) = delete;
    VoiceIsolation& operator=(const VoiceIsolation&) = delete;

    // Takes `frames` interleaved stereo frames and writes as many frames,
    // `latencyFrames()` behind, to the two channels as floats in [-1, 1).
    // With a `helper`, the right suppressor runs on it while this thread runs
    // the left one.
    void process(const int16_t* interleaved, size_t frames, float* left, float* right, BlockWorker* helper = nullptr);

    size_t latencyFrames() const { return (kLearningFrames + 1) * kFrameSize; }

private:
    SpeexPreprocessState_* newSuppressor() const;
    // Runs a suppressor over the first `kLearningFrames` frames of its
    // channel, still in `m_input`, and then over a frame of silence, so the
    // first frame is next analysed as at a fresh start.
    void learn(int channel);
    // Suppresses one frame of `channel` in place.
    void suppress(int channel, int16_t* frame);
    // Suppresses the right channel's whole frames gathered in `m_input[1]`
    // that differ from the left's, after catching up on skipped ones.
    void runRight(size_t frameCount);
    void catchUpRight();

    int m_sampleRate;
    SpeexPreprocessState_* m_suppressors[2] = {};
    bool m_learnt = false;
    // Per channel: its suppressor has been given a frame of sound.
    bool m_heardSound[2] = {};
    // Per channel: samples of the first sound faded so far, and the frame
    // whose suppressed samples speex gives out next, as it came in.
    size_t m_fadeDone[2] = {};
    std::vector<int16_t> m_previousInput[2];
    // Input per channel not yet suppressed; whole frames are suppressed in place.
    std::vector<int16_t> m_input[2];
    // Per whole frame of the current call: its channels are equal.
    std::vector<char> m_sameFrame;
    // Output per channel not handed out yet, from `m_readyStart` on.
    std::vector<float> m_ready[2];
    size_t m_readyStart = 0;
    // The latest frames the right suppressor skipped (a ring of
    // `kCatchUpFrames`), and how many it skipped since it last ran.
    std::vector<int16_t> m_skipped;
    size_t m_skippedCount = 0;
};
