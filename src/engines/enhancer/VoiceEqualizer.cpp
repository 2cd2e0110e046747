#include "engines/enhancer/VoiceEqualizer.h"

namespace {

// The band table. Frequencies, gains and octave bandwidths are used as they
// are stated; the remaining readings:
// - The high-pass is a Butterworth section (Q 0.707), flat above its corner.
//   Its one-octave "bandwidth" read through the cookbook's formula would give
//   Q 1.41, a resonant peak that with the low shelf lifts 100-120 Hz by 5-6 dB:
//   mains hum's harmonics boosted instead of cut.
// - The shelves state no bandwidth, so they take the cookbook's slope S = 1,
//   the steepest shelf without overshoot; their corner is the frequency given.
constexpr double kHighPassHz = 85;
constexpr double kLowShelfHz = 130;
constexpr double kLowShelfDb = 3.5;
constexpr double kLowMidHz = 380;
constexpr double kLowMidOctaves = 1.5;
constexpr double kLowMidDb = -3.0;
constexpr double kPresenceHz = 3200;
constexpr double kPresenceOctaves = 1.2;
constexpr double kPresenceDb = 2.5;
constexpr double kHighShelfHz = 9800;
constexpr double kHighShelfDb = 3.2;
constexpr double kShelfSlope = 1.0;

} // namespace

VoiceEqualizer::VoiceEqualizer(double sampleRate)
    : m_bands{Biquad(Biquad::highPass(sampleRate, kHighPassHz, Biquad::kButterworthQ)),
              Biquad(Biquad::lowShelf(sampleRate, kLowShelfHz, kLowShelfDb, kShelfSlope)),
              Biquad(Biquad::peaking(sampleRate, kLowMidHz, kLowMidOctaves, kLowMidDb)),
              Biquad(Biquad::peaking(sampleRate, kPresenceHz, kPresenceOctaves, kPresenceDb)),
              Biquad(Biquad::highShelf(sampleRate, kHighShelfHz, kHighShelfDb, kShelfSlope))}
{
}

void VoiceEqualizer::process(float* left, float* right, size_t frames)
{
    Biquad::processCascade(m_bands, left, right, frames);
}
