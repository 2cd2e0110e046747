#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SpeexPreprocessState_;

// Lowers the steady background under a voice with speexdsp's noise
// suppression, one suppressor per channel. The output lags the input by two
// frames: one while a frame is gathered, one inside speex, whose overlapping
// windows give out each frame's samples when the next frame has come in.
class VoiceIsolation {
public:
    // About 23 ms at 44.1 kHz: speex is tuned for 10 to 30 ms frames, and a
    // power of two keeps its FFT fast.
    static constexpr size_t kFrameSize = 1024;

    explicit VoiceIsolation(int sampleRate);
    ~VoiceIsolation();
    VoiceIsolation(const VoiceIsolation&) = delete;
    VoiceIsolation& operator=(const VoiceIsolation&) = delete;

    // Takes `frames` interleaved stereo frames and writes as many frames,
    // `latencyFrames()` behind, to the two channels as floats in [-1, 1).
    void process(const int16_t* interleaved, size_t frames, float* left, float* right);
    // The same for one channel (0 left, 1 right): the two channels share
    // nothing, so they may run on different threads at once.
    void processChannel(int channel, const int16_t* interleaved, size_t frames, float* out);

    size_t latencyFrames() const { return 2 * kFrameSize; }

private:
    struct Channel {
        SpeexPreprocessState_* state = nullptr;
        std::vector<int16_t> frame; // input gathered for the next speex frame
        size_t frameFill = 0;
        std::vector<float> ready;   // processed output not handed out yet
        size_t readyStart = 0;
    };

    std::vector<Channel> m_channels;
};
