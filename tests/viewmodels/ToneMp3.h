#pragma once

#include "audio/MP3Encoder.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

// Writes a 44.1 kHz stereo MP3 of a 440 Hz tone whose amplitude (0 ... 1 of
// most of full scale) follows `amplitude(t)`, t in seconds.
inline void writeToneMp3(const QString& path, double seconds, const std::function<double(double)>& amplitude)
{
    constexpr int rate = 44100;
    MP3Encoder encoder(path);
    std::vector<int16_t> samples;
    const auto frames = static_cast<int64_t>(seconds * rate);
    samples.reserve(static_cast<size_t>(frames) * 2);
    for (int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const auto value = static_cast<int16_t>(20000 * amplitude(t) * std::sin(2 * M_PI * 440 * t));
        samples.insert(samples.end(), {value, value});
    }
    encoder.encode(samples);
    encoder.finish();
}
