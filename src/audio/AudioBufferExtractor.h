#pragma once

#include "audio/CapturedBuffer.h"

#include <cstdint>
#include <vector>

// Turns one captured buffer, whatever its layout, into the format everything
// between capture and file uses: 44,100 Hz, two channels, interleaved signed
// 16-bit. Called by the captures once per delivery, on their own threads.
namespace AudioBufferExtractor {

inline constexpr double targetSampleRate = 44100.0;

struct Extracted {
    std::vector<int16_t> samples; // empty: nothing in the buffer was usable
    float rms = 0;                // level of the converted samples, 0 ... 1
};

// A stereo source one of whose sides is silent is folded differently for a
// microphone (one voice on both sides) and for system audio (sides kept apart
// unless one is dead). Never throws: an unusable buffer gives (empty, 0).
Extracted extractStereo44k(const CapturedBuffer& buffer, bool isMicrophone);

// Linear interpolation per side; used when a stream's rate is not 44,100 Hz.
std::vector<int16_t> resampleStereo(const std::vector<int16_t>& samples, double fromRate, double toRate);

} // namespace AudioBufferExtractor
