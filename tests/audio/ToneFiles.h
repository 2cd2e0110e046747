#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Fixtures for the editing and playback tests: MP3s of pure tones written with
// our own encoder, and a simple look at the frequencies in decoded audio.
namespace ToneFiles {

struct Tone {
    double seconds;
    double hz;
};

// Writes the tones one after the other, phase-continuous, at the given format.
void write(const QString& path, const std::vector<Tone>& tones, int sampleRate = 44100, int channels = 2);

struct Decoded {
    int sampleRate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved

    int64_t frames() const { return channels ? static_cast<int64_t>(samples.size()) / channels : 0; }
    double seconds() const { return sampleRate ? static_cast<double>(frames()) / sampleRate : 0; }
};

// The whole file as libmpg123 decodes it; empty when it cannot be read.
Decoded decode(const QString& path);

// Frequency of a pure tone in the first channel over [startSeconds,
// startSeconds + seconds), from its zero crossings; 0 for silence.
double frequencyAt(const std::vector<int16_t>& samples, int channels, int sampleRate, double startSeconds,
                   double seconds);

// The first time, scanning in 10 ms windows, at which the tone is closer to
// `toHz` than to `fromHz`; -1 when it never is.
double changeTime(const Decoded& audio, double fromHz, double toHz);

} // namespace ToneFiles
