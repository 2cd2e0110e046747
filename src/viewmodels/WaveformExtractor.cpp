#include "viewmodels/WaveformExtractor.h"

#include "platform/media/Mp3Decoder.h"
#include "viewmodels/WaveformBars.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr float sampleScale = 1.0f / 32768.0f;
constexpr float emptyBar = 0.05f;

bool isCancelled(const std::atomic_bool* cancelled)
{
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

} // namespace

std::optional<QList<float>> WaveformExtractor::extract(const QString& path, int targetCount,
                                                       const std::atomic_bool* cancelled)
{
    const std::optional<QList<float>> levels = bufferLevels(path, cancelled);
    if (!levels)
        return std::nullopt;
    return barsFromLevels(*levels, targetCount);
}

std::optional<QList<float>> WaveformExtractor::bufferLevels(const QString& path, const std::atomic_bool* cancelled)
{
    Mp3Decoder decoder;
    if (!decoder.open(path, Mp3Decoder::SampleFormat::Int16))
        return std::nullopt;
    const int channels = decoder.channelCount();
    std::vector<int16_t> buffer(static_cast<size_t>(framesPerBuffer) * static_cast<size_t>(channels));
    QList<float> levels;
    while (true) {
        if (isCancelled(cancelled))
            return std::nullopt;
        // A decoding error ends the file where it stands.
        const int64_t frames = decoder.read(buffer.data(), framesPerBuffer);
        if (frames <= 0)
            break;
        const size_t samples = static_cast<size_t>(frames) * static_cast<size_t>(channels);
        double sumOfSquares = 0;
        for (size_t i = 0; i < samples; ++i) {
            const float value = static_cast<float>(buffer[i]) * sampleScale;
            sumOfSquares += static_cast<double>(value) * value;
        }
        levels.append(static_cast<float>(std::sqrt(sumOfSquares / static_cast<double>(samples))));
    }
    return levels;
}

std::optional<QList<float>> WaveformExtractor::barsFromLevels(const QList<float>& levels, int targetCount)
{
    if (levels.isEmpty())
        return std::nullopt;
    QList<float> bars;
    if (targetCount <= 0)
        return bars;
    const int count = static_cast<int>(levels.size());
    const float step = static_cast<float>(count) / static_cast<float>(targetCount);
    bars.reserve(targetCount);
    for (int i = 0; i < targetCount; ++i) {
        const int start = static_cast<int>(static_cast<float>(i) * step);
        const int end = std::min(count, static_cast<int>(static_cast<float>(i + 1) * step));
        if (end <= start) {
            bars.append(emptyBar);
            continue;
        }
        float sum = 0;
        float peak = 0;
        for (int j = start; j < end; ++j) {
            sum += levels.at(j);
            peak = std::max(peak, levels.at(j));
        }
        bars.append(0.7f * (sum / static_cast<float>(end - start)) + 0.3f * peak);
    }
    WaveformBars::spread(bars);
    return bars;
}
