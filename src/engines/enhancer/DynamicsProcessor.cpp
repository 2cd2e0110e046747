#include "engines/enhancer/DynamicsProcessor.h"

#include <algorithm>
#include <cmath>

namespace {

// The gain is computed once per control step and ramped linearly across it;
// 16 frames (0.36 ms at 44.1 kHz) is well inside the 3 ms attack, and saves
// a logarithm and a power per frame.
constexpr size_t kControlStep = 16;
// Envelopes below this count as -120 dB, so silence has a finite level.
constexpr double kFloorLevel = 1e-6;

// The settings, and how each is read:
// - Threshold (dB): where compression begins, on the envelope's peak level.
constexpr double kThresholdDb = -19;
// - Head room (dB): the processor has no ratio; its headroom says how far
//   above the threshold a full-scale peak may still reach. On the straight
//   part of the curve that is a ratio of -threshold / headroom (19 / 4.5,
//   about 4.2:1). The same headroom is the width of the soft knee, which
//   begins at the threshold, so nothing below the threshold is compressed.
constexpr double kHeadroomDb = 4.5;
constexpr double kRatio = -kThresholdDb / kHeadroomDb;
// - Expansion ratio and threshold: below -42 dB, every dB under the threshold
//   becomes two (downward expansion; there is no floor).
constexpr double kExpansionRatio = 2;
constexpr double kExpansionThresholdDb = -42;
// - Attack and release (s): the time constants of a one-pole envelope
//   follower (63% of a step in that time), rising with the attack and
//   falling with the release.
constexpr double kAttackSeconds = 0.003;
constexpr double kReleaseSeconds = 0.075;
// - Overall gain (dB): make-up applied after the curve, at every level.
constexpr double kMakeUpGainDb = 3.2;

double dbToGain(double db)
{
    return std::pow(10.0, db / 20);
}

} // namespace

DynamicsProcessor::DynamicsProcessor(double sampleRate)
    // The envelope advances once per control step.
    : m_attackCoefficient(std::exp(-double(kControlStep) / (kAttackSeconds * sampleRate)))
    , m_releaseCoefficient(std::exp(-double(kControlStep) / (kReleaseSeconds * sampleRate)))
    , m_gain(static_cast<float>(dbToGain(curveGainDb(20 * std::log10(kFloorLevel)))))
{
}

double DynamicsProcessor::curveGainDb(double levelDb)
{
    constexpr double knee = kHeadroomDb;
    double gain = 0;
    if (levelDb > kThresholdDb + knee) {
        gain = (1 / kRatio - 1) * (levelDb - kThresholdDb - knee / 2);
    } else if (levelDb > kThresholdDb) {
        // Quadratic knee: the slope eases from 1 to 1/ratio across it.
        const double over = levelDb - kThresholdDb;
        gain = (1 / kRatio - 1) * over * over / (2 * knee);
    } else if (levelDb < kExpansionThresholdDb) {
        gain = (kExpansionRatio - 1) * (levelDb - kExpansionThresholdDb);
    }
    return gain + kMakeUpGainDb;
}

void DynamicsProcessor::process(float* left, float* right, size_t frames)
{
    run<false>(left, right, frames);
}

void DynamicsProcessor::processSame(float* samples, size_t frames)
{
    run<true>(samples, nullptr, frames);
}

template <bool Same>
void DynamicsProcessor::run(float* left, float* right, size_t frames)
{
    size_t start = 0;
    while (start < frames) {
        const size_t count = std::min(kControlStep - m_stepFill, frames - start);
        // The step's peak, both channels linked so the image does not move.
        float peak = m_stepPeak;
        for (size_t i = start; i < start + count; ++i)
            peak = Same ? std::max(peak, std::fabs(left[i])) : std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        m_stepFill += count;
        m_stepPeak = peak;

        // A step's new gain is ramped in across the step's own frames; the
        // frames of a step that a block boundary cut keep the gain before.
        const float from = m_gain;
        float to = m_gain;
        if (m_stepFill == kControlStep) {
            const double coefficient = peak > m_envelope ? m_attackCoefficient : m_releaseCoefficient;
            m_envelope = peak + (m_envelope - peak) * coefficient;
            const double levelDb = 20 * std::log10(std::max(m_envelope, kFloorLevel));
            to = static_cast<float>(dbToGain(curveGainDb(levelDb)));
            m_stepFill = 0;
            m_stepPeak = 0;
        }
        const float slope = (to - from) / float(count);
        for (size_t i = 0; i < count; ++i) {
            const float gain = from + slope * float(i + 1);
            left[start + i] *= gain;
            if constexpr (!Same)
                right[start + i] *= gain;
        }
        m_gain = to;
        start += count;
    }
}
