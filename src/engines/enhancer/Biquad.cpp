#include "engines/enhancer/Biquad.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace {

Biquad::Coefficients normalised(double b0, double b1, double b2, double a0, double a1, double a2)
{
    return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

double angularFrequency(double sampleRate, double frequency)
{
    return 2 * std::numbers::pi * frequency / sampleRate;
}

// alpha from a bandwidth in octaves, with the cookbook's bilinear-warp correction.
double alphaForBandwidth(double w0, double bandwidthOctaves)
{
    return std::sin(w0) * std::sinh(std::numbers::ln2 / 2 * bandwidthOctaves * w0 / std::sin(w0));
}

double alphaForShelfSlope(double w0, double a, double slope)
{
    return std::sin(w0) / 2 * std::sqrt((a + 1 / a) * (1 / slope - 1) + 2);
}

} // namespace

Biquad::Coefficients Biquad::highPass(double sampleRate, double frequency, double q)
{
    const double w0 = angularFrequency(sampleRate, frequency);
    const double cosW0 = std::cos(w0);
    const double alpha = std::sin(w0) / (2 * q);
    return normalised((1 + cosW0) / 2, -(1 + cosW0), (1 + cosW0) / 2, 1 + alpha, -2 * cosW0, 1 - alpha);
}

Biquad::Coefficients Biquad::peaking(double sampleRate, double frequency, double bandwidthOctaves, double gainDb)
{
    const double a = std::pow(10.0, gainDb / 40);
    const double w0 = angularFrequency(sampleRate, frequency);
    const double cosW0 = std::cos(w0);
    const double alpha = alphaForBandwidth(w0, bandwidthOctaves);
    return normalised(1 + alpha * a, -2 * cosW0, 1 - alpha * a, 1 + alpha / a, -2 * cosW0, 1 - alpha / a);
}

Biquad::Coefficients Biquad::lowShelf(double sampleRate, double frequency, double gainDb, double slope)
{
    const double a = std::pow(10.0, gainDb / 40);
    const double w0 = angularFrequency(sampleRate, frequency);
    const double cosW0 = std::cos(w0);
    const double twoSqrtAAlpha = 2 * std::sqrt(a) * alphaForShelfSlope(w0, a, slope);
    return normalised(a * ((a + 1) - (a - 1) * cosW0 + twoSqrtAAlpha), 2 * a * ((a - 1) - (a + 1) * cosW0),
                      a * ((a + 1) - (a - 1) * cosW0 - twoSqrtAAlpha), (a + 1) + (a - 1) * cosW0 + twoSqrtAAlpha,
                      -2 * ((a - 1) + (a + 1) * cosW0), (a + 1) + (a - 1) * cosW0 - twoSqrtAAlpha);
}

Biquad::Coefficients Biquad::highShelf(double sampleRate, double frequency, double gainDb, double slope)
{
    const double a = std::pow(10.0, gainDb / 40);
    const double w0 = angularFrequency(sampleRate, frequency);
    const double cosW0 = std::cos(w0);
    const double twoSqrtAAlpha = 2 * std::sqrt(a) * alphaForShelfSlope(w0, a, slope);
    return normalised(a * ((a + 1) + (a - 1) * cosW0 + twoSqrtAAlpha), -2 * a * ((a - 1) + (a + 1) * cosW0),
                      a * ((a + 1) + (a - 1) * cosW0 - twoSqrtAAlpha), (a + 1) - (a - 1) * cosW0 + twoSqrtAAlpha,
                      2 * ((a - 1) - (a + 1) * cosW0), (a + 1) - (a - 1) * cosW0 - twoSqrtAAlpha);
}

void Biquad::process(float* left, float* right, size_t frames)
{
    const Coefficients c = m_c;
    double l1 = m_left1, l2 = m_left2, r1 = m_right1, r2 = m_right2;
    // Both channels in one loop: two independent recurrences keep the
    // processor busy while each waits for its own previous result.
    for (size_t i = 0; i < frames; ++i) {
        const double x = left[i];
        const double y = c.b0 * x + l1;
        l1 = c.b1 * x - c.a1 * y + l2;
        l2 = c.b2 * x - c.a2 * y;
        left[i] = static_cast<float>(y);

        const double u = right[i];
        const double v = c.b0 * u + r1;
        r1 = c.b1 * u - c.a1 * v + r2;
        r2 = c.b2 * u - c.a2 * v;
        right[i] = static_cast<float>(v);
    }
    m_left1 = l1;
    m_left2 = l2;
    m_right1 = r1;
    m_right2 = r2;
}

void Biquad::reset()
{
    m_left1 = m_left2 = m_right1 = m_right2 = 0;
}

double Biquad::magnitudeAt(double sampleRate, double frequency) const
{
    const std::complex<double> z = std::polar(1.0, -angularFrequency(sampleRate, frequency));
    const std::complex<double> numerator = m_c.b0 + m_c.b1 * z + m_c.b2 * z * z;
    const std::complex<double> denominator = 1.0 + m_c.a1 * z + m_c.a2 * z * z;
    return std::abs(numerator / denominator);
}
