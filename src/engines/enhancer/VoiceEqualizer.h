#pragma once

#include "engines/enhancer/Biquad.h"

#include <array>
#include <cstddef>

// The enhancer's five-band equaliser, in this order: a high-pass that takes
// out rumble and handling noise, a low shelf for body, a cut of the boxy low
// mids, a presence lift and a high shelf for air.
class VoiceEqualizer {
public:
    explicit VoiceEqualizer(double sampleRate);

    void process(float* left, float* right, size_t frames);

    const Biquad& highPass() const { return m_bands[0]; }

private:
    std::array<Biquad, 5> m_bands;
};
