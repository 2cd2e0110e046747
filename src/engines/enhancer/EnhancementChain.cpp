#include "engines/enhancer/EnhancementChain.h"

#include <algorithm>
#include <cstring>

EnhancementChain::EnhancementChain()
    : m_isolation(kSampleRate)
    , m_equalizer(kSampleRate)
    , m_dynamics(kSampleRate)
    , m_limiter(kSampleRate)
{
}

bool EnhancementChain::process(const int16_t* interleaved, size_t frames, float* left, float* right,
                               BlockWorker* helper)
{
    m_isolation.process(interleaved, frames, left, right, helper);
    m_equalizer.process(left, right, frames);
    // The linked stages give equal channels equal gains: when the channels
    // are equal (a recording of the microphone alone), one is enough.
    if (std::memcmp(left, right, frames * sizeof(float)) == 0 && m_limiter.delaysSameChannels()) {
        m_dynamics.processSame(left, frames);
        m_limiter.processSame(left, frames);
        std::copy_n(left, frames, right);
        return true;
    }
    m_dynamics.process(left, right, frames);
    m_limiter.process(left, right, frames);
    return false;
}
