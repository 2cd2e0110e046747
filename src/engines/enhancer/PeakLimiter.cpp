#include "engines/enhancer/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace {

// `index` is below twice `size`.
size_t wrap(size_t index, size_t size)
{
    return index >= size ? index - size : index;
}

} // namespace

// Readings of the settings: the attack (1 ms, 44 frames at 44.1 kHz) is both
// how far ahead the limiter looks and how long its gain takes to come down,
// linearly; the decay (20 ms) is the time constant of an exponential return
// toward unity; a pre-gain of 0 dB means no gain before the limiter; the
// ceiling is full scale.
PeakLimiter::PeakLimiter(double sampleRate, double attackSeconds, double decaySeconds, float ceiling)
    : m_ceiling(ceiling)
    , m_window(std::max<size_t>(1, static_cast<size_t>(std::lround(attackSeconds * sampleRate))))
    , m_decayCoefficient(std::exp(-1.0 / (decaySeconds * sampleRate)))
    , m_delayLeft(m_window, 0.0f)
    , m_delayRight(m_window, 0.0f)
    , m_minPositions(m_window + 1)
    , m_minGains(m_window + 1)
    , m_recentGains(m_window, 1.0)
    , m_recentSum(double(m_window))
{
}

void PeakLimiter::process(float* left, float* right, size_t frames)
{
    if (m_rightIsLeft) {
        m_delayRight = m_delayLeft;
        m_rightIsLeft = false;
    }
    run<false>(left, right, frames);
}

void PeakLimiter::processSame(float* samples, size_t frames)
{
    m_rightIsLeft = true;
    run<true>(samples, nullptr, frames);
}

template <bool Same>
void PeakLimiter::run(float* left, float* right, size_t frames)
{
    const size_t window = m_window;
    const size_t ringSize = m_minGains.size();
    for (size_t i = 0; i < frames; ++i) {
        const float peak = Same ? std::fabs(left[i]) : std::max(std::fabs(left[i]), std::fabs(right[i]));
        if (m_unityFrames >= window) {
            // Every frame in the window needed no limiting and the gain is
            // back at exactly one: the output is the delayed input, as the
            // full path below would compute it.
            if (peak <= m_ceiling) {
                ++m_position;
                const size_t slot = m_slot;
                m_slot = slot + 1 == window ? 0 : slot + 1;
                m_delayLeft[slot] = left[i];
                left[i] = m_delayLeft[m_slot];
                if constexpr (!Same) {
                    m_delayRight[slot] = right[i];
                    right[i] = m_delayRight[m_slot];
                }
                continue;
            }
            // What the full path's minimum holds after such a stretch.
            m_minFront = 0;
            m_minSize = 1;
            m_minPositions[0] = m_position - 1;
            m_minGains[0] = 1.0f;
            m_unityFrames = 0;
        }

        const int64_t position = m_position++;
        const size_t slot = m_slot;
        m_slot = slot + 1 == window ? 0 : slot + 1;
        const float needed = peak > m_ceiling ? m_ceiling / peak : 1.0f;

        // The lowest needed gain among the last `window` frames.
        if (m_minSize > 0 && m_minPositions[m_minFront] <= position - int64_t(window)) {
            m_minFront = m_minFront + 1 == ringSize ? 0 : m_minFront + 1;
            --m_minSize;
        }
        while (m_minSize > 0 && m_minGains[wrap(m_minFront + m_minSize - 1, ringSize)] >= needed)
            --m_minSize;
        const size_t back = wrap(m_minFront + m_minSize, ringSize);
        m_minPositions[back] = position;
        m_minGains[back] = needed;
        ++m_minSize;
        const double held = m_minGains[m_minFront];

        // Down at once to what the window needs, back up with the decay (in
        // doubles it reaches exactly one within a second).
        m_gain = held < m_gain ? held : held + (m_gain - held) * m_decayCoefficient;

        // Averaging the last `window` gains turns the step down into a ramp
        // that is complete when the peak's frame leaves the delay line.
        m_recentSum += m_gain - m_recentGains[slot];
        m_recentGains[slot] = m_gain;
        const float gain = static_cast<float>(std::min(1.0, m_recentSum / double(window)));
        m_unityFrames = needed == 1.0f && m_gain == 1.0 ? m_unityFrames + 1 : 0;
        if (m_unityFrames == window)
            m_recentSum = double(window); // the sum of `window` ones, less rounding

        // The delay line holds `window - 1` earlier frames plus this one.
        m_delayLeft[slot] = left[i];
        const size_t outSlot = m_slot;
        // The clamp only absorbs float rounding of gains that are in place.
        left[i] = std::clamp(m_delayLeft[outSlot] * gain, -m_ceiling, m_ceiling);
        if constexpr (!Same) {
            m_delayRight[slot] = right[i];
            right[i] = std::clamp(m_delayRight[outSlot] * gain, -m_ceiling, m_ceiling);
        }
    }
}
