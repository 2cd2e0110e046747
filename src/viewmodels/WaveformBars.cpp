#include "viewmodels/WaveformBars.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

QList<float> WaveformBars::downsample(const QList<float>& amplitudes, int targetCount)
{
    const int count = static_cast<int>(amplitudes.size());
    if (count == 0) {
        QList<float> bars;
        bars.reserve(std::max(targetCount, 0));
        for (int i = 0; i < targetCount; ++i)
            bars.append(0.1f + static_cast<float>(QRandomGenerator::global()->bounded(0.5)));
        return bars;
    }
    if (targetCount >= count)
        return amplitudes;

    const float step = static_cast<float>(count) / static_cast<float>(targetCount);
    QList<float> bars;
    bars.reserve(targetCount);
    for (int i = 0; i < targetCount; ++i) {
        const int start = static_cast<int>(step * static_cast<float>(i));
        const int end = std::min(static_cast<int>(step * static_cast<float>(i + 1)), count);
        if (end <= start) {
            bars.append(0.08f);
            continue;
        }
        float sumOfSquares = 0;
        float peak = 0;
        for (int j = start; j < end; ++j) {
            const float value = amplitudes.at(j);
            sumOfSquares += value * value;
            peak = std::max(peak, value);
        }
        const float rms = std::sqrt(sumOfSquares / static_cast<float>(end - start));
        bars.append(std::max(0.0f, 0.7f * rms + 0.3f * peak));
    }
    spread(bars);
    return bars;
}

void WaveformBars::spread(QList<float>& bars)
{
    if (bars.isEmpty())
        return;
    const auto [lowest, highest] = std::minmax_element(bars.begin(), bars.end());
    const float smallest = *lowest;
    const float range = std::max(*highest - smallest, 0.001f);
    for (float& bar : bars) {
        const float shaped = std::pow((bar - smallest) / range, 0.75f);
        bar = std::clamp(0.12f + 0.88f * shaped, 0.1f, 1.0f);
    }
}
