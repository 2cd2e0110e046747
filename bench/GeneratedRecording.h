#pragma once

#include "audio/MP3Encoder.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

// Long recordings for the benchmarks, written once with our own encoder.
namespace GeneratedRecording {

// Writes `seconds` of 44.1 kHz stereo: `left(t)` gives the left sample at
// `t` seconds (called in order, so it may keep state); the right channel is
// the left one times `rightScale`. Values are clamped to 16 bits.
inline void write(const QString& path, double seconds, double rightScale, const std::function<double(double)>& left)
{
    MP3Encoder encoder(path);
    const auto frames = static_cast<int64_t>(seconds * 44100);
    std::vector<int16_t> chunk;
    for (int64_t start = 0; start < frames; start += 44100) {
        chunk.clear();
        for (int64_t i = start; i < std::min(frames, start + 44100); ++i) {
            const double value = left(static_cast<double>(i) / 44100);
            chunk.push_back(static_cast<int16_t>(std::clamp(value, -32767.0, 32767.0)));
            chunk.push_back(static_cast<int16_t>(std::clamp(rightScale * value, -32767.0, 32767.0)));
        }
        encoder.encode(chunk);
    }
    encoder.finish();
}

// Our files carry no header, so parts back to back are one long file.
inline void concatenate(const QStringList& parts, const QString& path)
{
    QFile out(path);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const QString& part : parts) {
        QFile in(part);
        in.open(QIODevice::ReadOnly);
        out.write(in.readAll());
    }
}

} // namespace GeneratedRecording
