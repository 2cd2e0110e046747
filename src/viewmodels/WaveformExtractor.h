#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <optional>

// The bars drawn for a recording, read back from its audio file: one RMS value
// per decoded buffer, bucketed into the bars and spread over 0.12 ... 1.0.
// Decodes the whole file on the calling thread: call it from a worker.
class WaveformExtractor {
public:
    WaveformExtractor() = delete;

    // Frames per decoded buffer, one RMS value each: about 93 ms at 44.1 kHz,
    // so a ten-minute recording gives some 6,500 values for its 120 bars.
    static constexpr int framesPerBuffer = 4096;

    // `targetCount` bars in 0.1 ... 1.0, an empty list for 0 bars, or nothing
    // when the file cannot be read, yields no audio or `cancelled` turns true.
    static std::optional<QList<float>> extract(const QString& path, int targetCount,
                                               const std::atomic_bool* cancelled = nullptr);

    // The RMS of each buffer of the file (all channels together); nothing when
    // it cannot be opened or `cancelled` turned true.
    static std::optional<QList<float>> bufferLevels(const QString& path, const std::atomic_bool* cancelled = nullptr);

    // Buckets per-buffer levels into `targetCount` bars (0.7 x mean + 0.3 x
    // peak of each bucket; 0.05 for a bucket that gets no level) and spreads
    // them. Nothing for no levels.
    static std::optional<QList<float>> barsFromLevels(const QList<float>& levels, int targetCount);
};
