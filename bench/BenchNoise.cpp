#include "BenchNoise.h"

#include <cmath>
#include <numbers>
#include <random>

namespace {

std::vector<float> toUnitRms(std::vector<float> signal)
{
    double sum = 0;
    for (float x : signal)
        sum += double(x) * x;
    const double scale = sum > 0 ? 1 / std::sqrt(sum / double(signal.size())) : 1;
    for (float& x : signal)
        x = float(x * scale);
    return signal;
}

} // namespace

namespace BenchNoise {

std::vector<float> white(size_t samples, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, 1.0f);
    std::vector<float> noise(samples);
    for (float& x : noise)
        x = normal(random);
    return noise;
}

std::vector<float> pink(size_t samples, unsigned seed)
{
    // Paul Kellet's filter over white noise: within 0.05 dB of -3 dB per
    // octave across the audio band.
    const std::vector<float> source = white(samples, seed);
    std::vector<float> noise(samples);
    double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
    for (size_t i = 0; i < samples; ++i) {
        const double w = source[i];
        b0 = 0.99886 * b0 + w * 0.0555179;
        b1 = 0.99332 * b1 + w * 0.0750759;
        b2 = 0.96900 * b2 + w * 0.1538520;
        b3 = 0.86650 * b3 + w * 0.3104856;
        b4 = 0.55000 * b4 + w * 0.5329522;
        b5 = -0.7616 * b5 - w * 0.0168980;
        noise[i] = float(b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362);
        b6 = w * 0.115926;
    }
    return toUnitRms(std::move(noise));
}

std::vector<float> hum(size_t samples)
{
    std::vector<float> noise(samples);
    for (size_t i = 0; i < samples; ++i) {
        const double t = double(i) / 44100;
        double sum = 0;
        for (int harmonic = 1; harmonic <= 20; ++harmonic)
            sum += std::sin(2 * std::numbers::pi * 50 * harmonic * t + harmonic) / harmonic;
        noise[i] = float(sum);
    }
    return toUnitRms(std::move(noise));
}

std::vector<float> babble(const std::vector<std::vector<float>>& talkers, size_t samples)
{
    std::vector<float> noise(samples, 0.0f);
    for (size_t t = 0; t < talkers.size(); ++t) {
        const std::vector<float>& talker = talkers[t];
        const size_t offset = talker.size() * t / talkers.size();
        for (size_t i = 0; i < samples; ++i)
            noise[i] += talker[(i + offset) % talker.size()];
    }
    return toUnitRms(std::move(noise));
}

} // namespace BenchNoise
