#include "SpeechQuality.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

namespace {

constexpr int kRate = 44100;
constexpr size_t kFrame = 1024;
// A frame holds speech when its clean power is within this of the loudest
// frame's; quieter tails count as neither speech nor pause.
constexpr double kSpeechRangeDb = 35;
// The file's first stretch, where a suppressor that learns as it goes has
// learnt nothing yet.
constexpr double kOnsetSeconds = 0.25;

double sumOfSquares(const float* x, size_t n)
{
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += double(x[i]) * x[i];
    return sum;
}

double speechGainDb(const std::vector<float>& clean, const std::vector<float>& output, size_t from, size_t to)
{
    double cross = 0, power = 0;
    for (size_t i = from; i < to; ++i) {
        cross += double(output[i]) * clean[i];
        power += double(clean[i]) * clean[i];
    }
    return 20 * std::log10(std::max(cross, 1e-12) / power);
}

// Power spectrum of one Hann-windowed frame, by a plain DFT over the bins
// from 200 Hz to 8 kHz (only pauses are transformed: speed does not matter).
std::vector<double> bandPower(const float* x)
{
    const auto firstBin = static_cast<size_t>(200.0 * kFrame / kRate);
    const auto lastBin = static_cast<size_t>(8000.0 * kFrame / kRate);
    std::vector<double> power;
    for (size_t k = firstBin; k <= lastBin; ++k) {
        std::complex<double> sum = 0;
        for (size_t i = 0; i < kFrame; ++i) {
            const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / kFrame);
            sum += window * double(x[i]) * std::polar(1.0, -2 * std::numbers::pi * double(k * i % kFrame) / kFrame);
        }
        power.push_back(std::norm(sum));
    }
    return power;
}

double kurtosis(const std::vector<double>& values)
{
    double mean = 0;
    for (double v : values)
        mean += v;
    mean /= double(values.size());
    double m2 = 0, m4 = 0;
    for (double v : values) {
        const double d = (v - mean) * (v - mean);
        m2 += d;
        m4 += d * d;
    }
    m2 /= double(values.size());
    m4 /= double(values.size());
    return m4 / (m2 * m2);
}

} // namespace

namespace SpeechQuality {

double onsetDb(const std::vector<float>& clean, const std::vector<float>& output)
{
    return speechGainDb(clean, output, 0, static_cast<size_t>(kOnsetSeconds * kRate));
}

Measures measure(const std::vector<float>& clean, const std::vector<float>& input, const std::vector<float>& output,
                 const std::vector<size_t>& sentenceStarts)
{
    const size_t frames = std::min({clean.size(), input.size(), output.size()}) / kFrame;
    std::vector<double> cleanPower(frames);
    double loudest = 0;
    for (size_t f = 0; f < frames; ++f) {
        cleanPower[f] = sumOfSquares(clean.data() + f * kFrame, kFrame);
        loudest = std::max(loudest, cleanPower[f]);
    }
    const double speechFloor = loudest * std::pow(10.0, -kSpeechRangeDb / 10);

    Measures m;
    double cross = 0, speech = 0, segmental = 0, pauseIn = 0, pauseOut = 0;
    size_t speechFrames = 0;
    std::vector<double> noiseSpectra, residualSpectra;
    for (size_t f = 0; f < frames; ++f) {
        const size_t at = f * kFrame;
        if (cleanPower[f] >= speechFloor) {
            double error = 0;
            for (size_t i = at; i < at + kFrame; ++i) {
                cross += double(output[i]) * clean[i];
                speech += double(clean[i]) * clean[i];
                error += (double(output[i]) - clean[i]) * (double(output[i]) - clean[i]);
            }
            segmental += std::clamp(10 * std::log10(cleanPower[f] / std::max(error, 1e-20)), -10.0, 35.0);
            ++speechFrames;
        } else if (cleanPower[f] == 0) {
            const double in = sumOfSquares(input.data() + at, kFrame);
            if (in == 0)
                continue; // digital silence: nothing to reduce
            pauseIn += in;
            pauseOut += sumOfSquares(output.data() + at, kFrame);
            // Every fourth pause frame is enough for the spectrum's statistics.
            if (f % 4 == 0) {
                const std::vector<double> noise = bandPower(input.data() + at);
                const std::vector<double> residual = bandPower(output.data() + at);
                noiseSpectra.insert(noiseSpectra.end(), noise.begin(), noise.end());
                residualSpectra.insert(residualSpectra.end(), residual.begin(), residual.end());
            }
        }
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    m.speechDb = 20 * std::log10(std::max(cross, 1e-12) / speech);
    m.segmentalSnrDb = segmental / double(std::max<size_t>(speechFrames, 1));
    m.pauseReductionDb = pauseIn > 0 ? 10 * std::log10(pauseIn / std::max(pauseOut, 1e-20)) : nan;
    m.kurtosisRatio = noiseSpectra.empty() ? nan : kurtosis(residualSpectra) / kurtosis(noiseSpectra);
    const auto onset = static_cast<size_t>(kOnsetSeconds * kRate);
    m.onsetDb = onsetDb(clean, output);
    double later = 0;
    for (size_t s = 1; s < sentenceStarts.size(); ++s)
        later += speechGainDb(clean, output, sentenceStarts[s], sentenceStarts[s] + onset);
    m.laterOnsetsDb = sentenceStarts.size() > 1 ? later / double(sentenceStarts.size() - 1) : nan;
    return m;
}

} // namespace SpeechQuality
