#include "audio/ToneFiles.h"

#include "audio/MP3Encoder.h"
#include "platform/media/Mp3Decoder.h"

#include <cmath>

namespace ToneFiles {

void write(const QString& path, const std::vector<Tone>& tones, int sampleRate, int channels)
{
    MP3Encoder encoder(path, sampleRate, sampleRate >= 32000 ? 192 : 64, channels);
    double phase = 0;
    std::vector<int16_t> samples;
    for (const Tone& tone : tones) {
        const auto frames = static_cast<int64_t>(std::llround(tone.seconds * sampleRate));
        samples.clear();
        samples.reserve(static_cast<size_t>(frames * channels));
        for (int64_t i = 0; i < frames; ++i) {
            const auto value = static_cast<int16_t>(9000 * std::sin(phase));
            for (int c = 0; c < channels; ++c)
                samples.push_back(value);
            phase = std::fmod(phase + 2 * M_PI * tone.hz / sampleRate, 2 * M_PI);
        }
        encoder.encode(samples);
    }
    encoder.finish();
}

Decoded decode(const QString& path)
{
    Decoded result;
    Mp3Decoder decoder;
    if (!decoder.open(path))
        return result;
    result.sampleRate = decoder.sampleRate();
    result.channels = decoder.channelCount();
    std::vector<int16_t> chunk(static_cast<size_t>(4096 * result.channels));
    for (;;) {
        const int64_t frames = decoder.read(chunk.data(), 4096);
        if (frames <= 0)
            break;
        result.samples.insert(result.samples.end(), chunk.begin(), chunk.begin() + frames * result.channels);
    }
    return result;
}

double frequencyAt(const std::vector<int16_t>& samples, int channels, int sampleRate, double startSeconds,
                   double seconds)
{
    const int64_t total = static_cast<int64_t>(samples.size()) / channels;
    const int64_t first = std::max<int64_t>(0, std::llround(startSeconds * sampleRate));
    const int64_t last = std::min<int64_t>(total, first + std::llround(seconds * sampleRate));
    if (last - first < 2)
        return 0;
    int crossings = 0;
    int64_t firstCrossing = -1;
    int64_t lastCrossing = -1;
    for (int64_t i = first + 1; i < last; ++i) {
        const int a = samples[static_cast<size_t>((i - 1) * channels)];
        const int b = samples[static_cast<size_t>(i * channels)];
        if ((a < 0) != (b < 0) && std::abs(a - b) > 200) {
            if (firstCrossing < 0)
                firstCrossing = i;
            lastCrossing = i;
            ++crossings;
        }
    }
    if (crossings < 3)
        return 0;
    // Half a period between neighbouring crossings.
    return (crossings - 1) / 2.0 * sampleRate / static_cast<double>(lastCrossing - firstCrossing);
}

double changeTime(const Decoded& audio, double fromHz, double toHz)
{
    const double window = 0.01;
    for (double t = 0; t + window <= audio.seconds(); t += window / 2) {
        const double hz = frequencyAt(audio.samples, audio.channels, audio.sampleRate, t, window);
        if (hz > 0 && std::abs(hz - toHz) < std::abs(hz - fromHz))
            return t;
    }
    return -1;
}

} // namespace ToneFiles
