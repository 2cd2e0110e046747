#pragma once

#include <cstddef>
#include <vector>

// Backgrounds for the enhancer's quality benchmark, 44.1 kHz mono at an RMS
// of one.
namespace BenchNoise {

std::vector<float> white(size_t samples, unsigned seed);
// Power falling 3 dB per octave, like most room and fan noise.
std::vector<float> pink(size_t samples, unsigned seed);
// Mains hum: 50 Hz and its harmonics to 1 kHz, each weaker than the last.
std::vector<float> hum(size_t samples);
// Several talkers at once: each of `talkers` repeated to the length, each
// from its own starting point.
std::vector<float> babble(const std::vector<std::vector<float>>& talkers, size_t samples);

} // namespace BenchNoise
