#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Measures how strongly a given frequency is present in audio (Goertzel).
namespace ToneDetector {

// Amplitude (0 ... about 1, relative to full scale) of the sine at `frequency`
// in the mono mix of `count` interleaved frames of `channels` 16-bit samples
// starting at `firstFrame`.
double amplitude(const std::vector<int16_t>& interleaved, int channels, int sampleRate, double frequency,
                 size_t firstFrame, size_t count);

// The same over the whole signal, in windows of `windowSeconds`: the largest
// amplitude found in any window (a tone that plays for part of the signal).
double peakAmplitude(const std::vector<int16_t>& interleaved, int channels, int sampleRate, double frequency,
                     double windowSeconds = 0.25);

} // namespace ToneDetector
