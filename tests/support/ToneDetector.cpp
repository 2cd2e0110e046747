#include "support/ToneDetector.h"

#include <algorithm>
#include <cmath>

namespace ToneDetector {

double amplitude(const std::vector<int16_t>& interleaved, int channels, int sampleRate, double frequency,
                 size_t firstFrame, size_t count)
{
    const size_t frames = interleaved.size() / size_t(channels);
    if (firstFrame >= frames)
        return 0;
    count = std::min(count, frames - firstFrame);
    if (count == 0)
        return 0;
    const double coefficient = 2 * std::cos(2 * M_PI * frequency / sampleRate);
    double previous = 0, beforePrevious = 0;
    for (size_t i = 0; i < count; ++i) {
        double sample = 0;
        for (int c = 0; c < channels; ++c)
            sample += interleaved[(firstFrame + i) * size_t(channels) + size_t(c)];
        sample /= 32768.0 * channels;
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return 2 * std::sqrt(std::max(power, 0.0)) / double(count);
}

double peakAmplitude(const std::vector<int16_t>& interleaved, int channels, int sampleRate, double frequency,
                     double windowSeconds)
{
    const size_t window = size_t(windowSeconds * sampleRate);
    const size_t frames = interleaved.size() / size_t(channels);
    double peak = 0;
    for (size_t first = 0; first + window <= frames; first += window / 2)
        peak = std::max(peak, amplitude(interleaved, channels, sampleRate, frequency, first, window));
    return peak;
}

} // namespace ToneDetector
