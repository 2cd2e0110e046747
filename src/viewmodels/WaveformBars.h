#pragma once

#include <QList>

// The bars drawn for a finished recording, from the recorder's per-step
// amplitudes: at most `targetCount` bars, each blending the loudness and the
// peak of its stretch, spread over 0.12 ... 1.0.
class WaveformBars {
public:
    WaveformBars() = delete;

    // No amplitudes give `targetCount` random bars between 0.1 and 0.6; no more
    // amplitudes than bars are kept as they are.
    static QList<float> downsample(const QList<float>& amplitudes, int targetCount);

    // Stretches raw bar values over 0.12 ... 1.0 (the quietest bar to 0.12,
    // the loudest to 1.0, a gentle curve between); equal bars all become 0.12.
    static void spread(QList<float>& bars);
};
