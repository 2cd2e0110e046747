#include "engines/enhancer/VoiceIsolation.h"

#include "engines/enhancer/BlockWorker.h"

#include <algorithm>
#include <cstring>

namespace {

// The isolation unit is set to a fully wet mix: its output replaces the
// input, with none of the original blended back. We read a fully wet
// isolation as lowering noise by up to 25 dB: enough to take a hiss or a
// fan out of the way, not so much that the voice's own quiet tails vanish.
constexpr double kNoiseSuppressionDb = 25.0;

constexpr size_t kFrameSize = VoiceIsolation::kFrameSize;

} // namespace

VoiceIsolation::VoiceIsolation(int sampleRate)
    : m_suppressors{NoiseSuppressor(sampleRate, kNoiseSuppressionDb), NoiseSuppressor(sampleRate, kNoiseSuppressionDb)}
{
    // One hop of silence ahead of the first output, so every call can hand
    // out as many frames as it takes.
    for (std::vector<float>& ready : m_ready)
        ready.assign(kFrameSize, 0.0f);
}

void VoiceIsolation::process(const int16_t* interleaved, size_t frames, float* left, float* right, BlockWorker* helper)
{
    const size_t pending = m_input[0].size();
    m_input[0].resize(pending + frames);
    m_input[1].resize(pending + frames);
    const int16_t* inLeft = m_input[0].data();
    const int16_t* inRight = m_input[1].data();
    for (size_t i = 0; i < frames; ++i) {
        m_input[0][pending + i] = interleaved[2 * i];
        m_input[1][pending + i] = interleaved[2 * i + 1];
    }

    const size_t hops = (pending + frames) / kFrameSize;
    const size_t readyEnd = m_ready[0].size();
    m_ready[0].resize(readyEnd + hops * kFrameSize);
    m_ready[1].resize(readyEnd + hops * kFrameSize);
    float* outLeft = m_ready[0].data() + readyEnd;
    float* outRight = m_ready[1].data() + readyEnd;
    const auto same = [&](size_t hop) {
        return std::memcmp(inLeft + hop * kFrameSize, inRight + hop * kFrameSize, kFrameSize * sizeof(int16_t)) == 0;
    };
    // Hops whose channels are equal one at a time; a stretch of hops whose
    // channels differ with both suppressors, at once when there is a helper
    // (each reads and writes only its own channel).
    for (size_t hop = 0; hop < hops;) {
        const size_t at = hop * kFrameSize;
        if (same(hop)) {
            m_suppressors[0].process(inLeft + at, outLeft + at);
            std::copy_n(outLeft + at, kFrameSize, outRight + at);
            m_rightBehind = true;
            ++hop;
            continue;
        }
        size_t end = hop + 1;
        while (end < hops && !same(end))
            ++end;
        if (m_rightBehind)
            m_suppressors[1].copyStateFrom(m_suppressors[0]);
        m_rightBehind = false;
        const auto run = [&, hop, end](int channel) {
            const int16_t* in = m_input[channel].data();
            float* out = m_ready[channel].data() + readyEnd;
            for (size_t h = hop; h < end; ++h)
                m_suppressors[channel].process(in + h * kFrameSize, out + h * kFrameSize);
        };
        if (helper) {
            helper->start([&run] { run(1); });
            run(0);
            helper->wait();
        } else {
            run(0);
            run(1);
        }
        hop = end;
    }
    const auto used = static_cast<std::ptrdiff_t>(hops * kFrameSize);
    m_input[0].erase(m_input[0].begin(), m_input[0].begin() + used);
    m_input[1].erase(m_input[1].begin(), m_input[1].begin() + used);

    // A hop of latency guarantees that `frames` outputs are ready.
    const auto start = static_cast<std::ptrdiff_t>(m_readyStart);
    std::copy_n(m_ready[0].begin() + start, frames, left);
    std::copy_n(m_ready[1].begin() + start, frames, right);
    m_readyStart += frames;
    if (m_readyStart >= kFrameSize) {
        for (std::vector<float>& ready : m_ready)
            ready.erase(ready.begin(), ready.begin() + static_cast<std::ptrdiff_t>(m_readyStart));
        m_readyStart = 0;
    }
}
