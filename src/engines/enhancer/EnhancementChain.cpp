#include "engines/enhancer/EnhancementChain.h"

EnhancementChain::EnhancementChain()
    : m_isolation(kSampleRate)
    , m_equalizer(kSampleRate)
    , m_dynamics(kSampleRate)
    , m_limiter(kSampleRate)
{
}

void EnhancementChain::process(const int16_t* interleaved, size_t frames, float* left, float* right,
                               BlockWorker* helper)
{
    m_isolation.process(interleaved, frames, left, right, helper);
    processAfterIsolation(left, right, frames);
}

void EnhancementChain::processAfterIsolation(float* left, float* right, size_t frames)
{
    m_equalizer.process(left, right, frames);
    m_dynamics.process(left, right, frames);
    m_limiter.process(left, right, frames);
}
