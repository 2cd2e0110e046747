// The enhancer's stages on generated signals and spoken sentences.

#include "engines/enhancer/DynamicsProcessor.h"
#include "engines/enhancer/EnhancementChain.h"
#include "engines/enhancer/PeakLimiter.h"
#include "engines/enhancer/VoiceEqualizer.h"
#include "engines/enhancer/VoiceIsolation.h"

#include "SpeechFixture.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr int kRate = 44100;

struct Stereo {
    std::vector<float> left, right;
};

Stereo tone(double hz, double amplitude, double seconds)
{
    const auto frames = static_cast<size_t>(seconds * kRate);
    Stereo signal{std::vector<float>(frames), std::vector<float>(frames)};
    for (size_t i = 0; i < frames; ++i)
        signal.left[i] = signal.right[i] = float(amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / kRate));
    return signal;
}

Stereo whiteNoise(double rms, double seconds, unsigned seed = 5)
{
    const auto frames = static_cast<size_t>(seconds * kRate);
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, float(rms));
    Stereo signal{std::vector<float>(frames), std::vector<float>(frames)};
    for (size_t i = 0; i < frames; ++i) {
        signal.left[i] = normal(random);
        signal.right[i] = normal(random);
    }
    return signal;
}

// Level in dB of both channels over [fromSeconds, end).
double rmsDb(const Stereo& signal, double fromSeconds)
{
    const auto first = static_cast<size_t>(fromSeconds * kRate);
    double sum = 0;
    for (size_t i = first; i < signal.left.size(); ++i)
        sum += double(signal.left[i]) * signal.left[i] + double(signal.right[i]) * signal.right[i];
    return 10 * std::log10(sum / double(2 * (signal.left.size() - first)));
}

// Runs `stage` over the signal in blocks of the enhancer's size.
template <typename Stage>
Stereo processed(Stage& stage, Stereo signal)
{
    for (size_t start = 0; start < signal.left.size(); start += 4096) {
        const size_t count = std::min<size_t>(4096, signal.left.size() - start);
        stage.process(signal.left.data() + start, signal.right.data() + start, count);
    }
    return signal;
}

std::vector<int16_t> interleaved16(const Stereo& signal)
{
    std::vector<int16_t> samples;
    for (size_t i = 0; i < signal.left.size(); ++i) {
        samples.push_back(static_cast<int16_t>(std::clamp(signal.left[i], -1.0f, 1.0f) * 32767));
        samples.push_back(static_cast<int16_t>(std::clamp(signal.right[i], -1.0f, 1.0f) * 32767));
    }
    return samples;
}

float peakOf(const Stereo& signal)
{
    float peak = 0;
    for (size_t i = 0; i < signal.left.size(); ++i)
        peak = std::max({peak, std::fabs(signal.left[i]), std::fabs(signal.right[i])});
    return peak;
}

// Runs a stage that takes 16-bit input (isolation, the whole chain) in blocks
// of the enhancer's size, followed by silence for as long as it lags, as the
// engine feeds it; returns the output lined up with the input.
template <typename Stage>
Stereo runOn16Bit(Stage& stage, std::vector<int16_t> input)
{
    const size_t frames = input.size() / 2;
    const size_t latency = stage.latencyFrames();
    input.resize(input.size() + 2 * latency, 0);
    Stereo out{std::vector<float>(frames + latency), std::vector<float>(frames + latency)};
    for (size_t start = 0; start < frames + latency; start += 4096) {
        const size_t count = std::min<size_t>(4096, frames + latency - start);
        stage.process(input.data() + 2 * start, count, out.left.data() + start, out.right.data() + start);
    }
    const auto lag = static_cast<std::ptrdiff_t>(latency);
    return Stereo{std::vector<float>(out.left.begin() + lag, out.left.end()),
                  std::vector<float>(out.right.begin() + lag, out.right.end())};
}

} // namespace

// The high-pass rises monotonically to its pass band: a resonant one would
// lift mains hum's harmonics (100 and 120 Hz, 150 Hz) instead of cutting them.
TEST(VoiceEqualizer, HighPassLiftsNothingBelowItsPassBand)
{
    const VoiceEqualizer equalizer(kRate);
    const double passBand = equalizer.highPass().magnitudeAt(kRate, 1000);
    EXPECT_NEAR(passBand, 1.0, 0.001);
    double previous = 0;
    for (const double hz : {30.0, 60.0, 85.0, 100.0, 120.0, 150.0, 300.0}) {
        const double magnitude = equalizer.highPass().magnitudeAt(kRate, hz);
        EXPECT_LE(magnitude, passBand) << hz << " Hz";
        EXPECT_GT(magnitude, previous) << hz << " Hz";
        previous = magnitude;
    }
}

TEST(VoiceEqualizer, MainsHumLosesMoreLevelThanTheVoiceBand)
{
    VoiceEqualizer hum(kRate);
    VoiceEqualizer voice(kRate);
    const double humChange = rmsDb(processed(hum, tone(50, 0.25, 1)), 0.5) - rmsDb(tone(50, 0.25, 1), 0.5);
    const double voiceChange = rmsDb(processed(voice, tone(1000, 0.25, 1)), 0.5) - rmsDb(tone(1000, 0.25, 1), 0.5);
    EXPECT_NEAR(voiceChange, 0.0, 1.0);
    // The high-pass's loss outweighs the low shelf's lift at 50 Hz.
    EXPECT_LT(humChange, voiceChange - 2.0);
}

// Steady tones, so the envelope settles at the tone's peak; the gain is read
// from the second half.
struct LevelCase {
    const char* name;
    double amplitude;
    double minGainDb;
    double maxGainDb;
};

class DynamicsLevels : public ::testing::TestWithParam<LevelCase> { };

TEST_P(DynamicsLevels, GainFollowsTheCurve)
{
    const LevelCase c = GetParam();
    DynamicsProcessor dynamics(kRate);
    const Stereo input = tone(440, c.amplitude, 1);
    const double gain = rmsDb(processed(dynamics, input), 0.5) - rmsDb(input, 0.5);
    EXPECT_GE(gain, c.minGainDb);
    EXPECT_LE(gain, c.maxGainDb);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, DynamicsLevels,
    ::testing::Values(
        // Between the two thresholds only the make-up gain applies.
        LevelCase{"SpeechLevelGetsOnlyMakeUp", 0.03, 3.0, 3.4},
        // -6 dBFS peaks are 13 dB over the threshold: well compressed.
        LevelCase{"LoudPeaksAreCompressed", 0.5, -6.5, -3.5},
        // -60 dBFS is 18 dB under the expansion threshold: 18 dB more go.
        LevelCase{"QuietToneIsExpandedDown", 0.001, -16.0, -13.5}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DynamicsProcessor, QuietNoiseBelowTheExpansionThresholdIsAttenuated)
{
    DynamicsProcessor dynamics(kRate);
    const Stereo noise = whiteNoise(0.0005, 2); // -66 dBFS, peaks near -55
    EXPECT_LT(rmsDb(processed(dynamics, noise), 1) - rmsDb(noise, 1), -6.0);
}

TEST(DynamicsProcessor, LoudOnsetIsCaughtWithinTheAttack)
{
    DynamicsProcessor dynamics(kRate);
    Stereo signal = tone(440, 0.02, 0.5);
    const Stereo loud = tone(440, 0.9, 0.5);
    signal.left.insert(signal.left.end(), loud.left.begin(), loud.left.end());
    signal.right.insert(signal.right.end(), loud.right.begin(), loud.right.end());
    const Stereo out = processed(dynamics, signal);
    // 20 ms after the onset (several attack times) the gain is down.
    const auto from = static_cast<size_t>(0.52 * kRate);
    float peakAfter = 0;
    for (size_t i = from; i < from + 441; ++i)
        peakAfter = std::max(peakAfter, std::fabs(out.left[i]));
    EXPECT_LT(peakAfter, 0.9f * 0.6f);
}

struct LimiterCase {
    const char* name;
    std::vector<float> pattern; // repeated for two seconds
};

class LimiterCeiling : public ::testing::TestWithParam<LimiterCase> { };

TEST_P(LimiterCeiling, NothingExceedsFullScale)
{
    const LimiterCase c = GetParam();
    Stereo signal{std::vector<float>(2 * kRate), std::vector<float>(2 * kRate)};
    for (size_t i = 0; i < signal.left.size(); ++i)
        signal.left[i] = signal.right[i] = c.pattern[i % c.pattern.size()];
    PeakLimiter limiter(kRate);
    const Stereo out = processed(limiter, signal);
    EXPECT_LE(peakOf(out), 1.0f);
    // Past the attack, a loud input keeps most of its level: limited, not crushed.
    EXPECT_GT(rmsDb(out, 1.0), -6.0);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, LimiterCeiling,
    ::testing::Values(
        // 100 Hz square waves at four times full scale and just over it.
        LimiterCase{"SquareAtFourTimesFullScale", [] {
                        std::vector<float> p(441, 4.0f);
                        std::fill(p.begin() + 220, p.end(), -4.0f);
                        return p;
                    }()},
        LimiterCase{"SquareJustOverFullScale", [] {
                        std::vector<float> p(441, 1.01f);
                        std::fill(p.begin() + 220, p.end(), -1.01f);
                        return p;
                    }()},
        // Lone one-frame spikes, ten a second, in a steady loud signal.
        LimiterCase{"SpikesOfOneFrame", [] {
                        std::vector<float> p(4410, 0.9f);
                        p[2205] = 8.0f;
                        return p;
                    }()},
        // The same spikes 1.2 s apart: each comes after the gain has long
        // been back at one.
        LimiterCase{"SpikesAfterAPause", [] {
                        std::vector<float> p(52920, 0.9f);
                        p[26460] = 8.0f;
                        return p;
                    }()}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(EnhancementChain, FullScaleSquareWaveStaysWithinFullScale)
{
    // The equaliser's boosts and the make-up gain push a full-scale square
    // over full scale; the limiter at the end holds it.
    Stereo square{std::vector<float>(3 * kRate), std::vector<float>(3 * kRate)};
    for (size_t i = 0; i < square.left.size(); ++i)
        square.left[i] = square.right[i] = (i / 110) % 2 ? -1.0f : 1.0f; // 200 Hz
    EnhancementChain chain;
    const Stereo out = runOn16Bit(chain, interleaved16(square));
    EXPECT_LE(peakOf(out), 1.0f);
    EXPECT_GT(peakOf(out), 0.05f);
}

TEST(VoiceIsolation, SteadyNoiseIsLowered)
{
    VoiceIsolation isolation(kRate);
    const Stereo noise = whiteNoise(0.01, 4); // -40 dBFS
    const Stereo out = runOn16Bit(isolation, interleaved16(noise));
    // Once the suppressor has learnt the noise, it is well down.
    EXPECT_LT(rmsDb(out, 3) - rmsDb(noise, 3), -10.0);
}

namespace {

// A steady hiss with a syllable-like tone burst every half second.
Stereo voiceOverHiss(double seconds)
{
    Stereo signal = whiteNoise(0.01, seconds); // -40 dBFS
    signal.right = signal.left;
    for (size_t i = 0; i < signal.left.size(); ++i) {
        const double t = double(i) / kRate;
        if (std::fmod(t, 0.5) < 0.2)
            signal.left[i] = signal.right[i] += float(0.25 * std::sin(2 * std::numbers::pi * 300 * t));
    }
    return signal;
}

double windowDb(const std::vector<float>& samples, double fromSeconds, double toSeconds)
{
    double sum = 0;
    const auto first = static_cast<size_t>(fromSeconds * kRate);
    const auto last = static_cast<size_t>(toSeconds * kRate);
    for (size_t i = first; i < last; ++i)
        sum += double(samples[i]) * samples[i];
    return 10 * std::log10(sum / double(last - first));
}

size_t differingSamples(const std::vector<float>& a, const std::vector<float>& b)
{
    size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        count += a[i] != b[i];
    return count;
}

float largestStep(const std::vector<float>& samples, double fromSeconds, double toSeconds)
{
    float step = 0;
    for (auto i = static_cast<size_t>(fromSeconds * kRate) + 1; i < static_cast<size_t>(toSeconds * kRate); ++i)
        step = std::max(step, std::fabs(samples[i] - samples[i - 1]));
    return step;
}

} // namespace

TEST(VoiceIsolation, EqualChannelsGetWhatSuppressingEachOneGives)
{
    const std::vector<int16_t> same = interleaved16(voiceOverHiss(3));
    // The same left channel beside a right one that differs in every frame.
    std::vector<int16_t> apart = same;
    for (size_t i = 1; i < apart.size(); i += 2)
        apart[i] ^= 1;
    VoiceIsolation once(kRate);
    VoiceIsolation each(kRate);
    const Stereo fromOnce = runOn16Bit(once, same);
    const Stereo fromEach = runOn16Bit(each, apart);
    EXPECT_EQ(differingSamples(fromOnce.left, fromEach.left), 0u);
    EXPECT_EQ(differingSamples(fromOnce.right, fromEach.left), 0u);
}

// The hiss between syllables goes well down; the syllables keep their level.
TEST(VoiceIsolation, VoiceStaysWhileTheHissBetweenGoes)
{
    const Stereo input = voiceOverHiss(8);
    VoiceIsolation isolation(kRate);
    const Stereo out = runOn16Bit(isolation, interleaved16(input));
    // Change of level from input to output over [from, to) of a period.
    const auto change = [&](double start, double from, double to) {
        return windowDb(out.left, start + from, start + to) - windowDb(input.left, start + from, start + to);
    };
    double voiceChange = 0, pauseChange = 0;
    int periods = 0;
    for (double start = 4; start < 7.5; start += 0.5, ++periods) {
        voiceChange += change(start, 0.05, 0.15);
        pauseChange += change(start, 0.3, 0.45);
    }
    EXPECT_NEAR(voiceChange / periods, 0.0, 1.0);
    EXPECT_LT(pauseChange / periods, -15.0);
}

namespace {

// Something voice-like: syllables of a gliding harmonic tone, four a second,
// in phrases of 1.25 s with 1.5 s pauses between; the first syllable starts
// at the first sample. `amplitude` is each harmonic's peak.
std::vector<float> syllables(double seconds, double amplitude)
{
    const auto frames = static_cast<size_t>(seconds * kRate);
    std::vector<float> voice(frames);
    double phase = 0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        phase += 2 * std::numbers::pi * (150 + 40 * std::sin(2 * std::numbers::pi * 0.8 * t)) / kRate;
        const bool inPhrase = std::fmod(t, 2.75) < 1.25;
        const double envelope = inPhrase ? std::sin(std::numbers::pi * std::fmod(t, 0.25) / 0.25) : 0.0;
        double sum = 0;
        for (int harmonic = 1; harmonic <= 12; ++harmonic)
            sum += std::sin(harmonic * phase) / std::sqrt(double(harmonic));
        voice[i] = float(amplitude * envelope * sum);
    }
    return voice;
}

struct SpeechKeptCase {
    const char* name;
    double seconds;
    double speechAmplitude;
    double noiseRms;
    bool noiseOnlyUnderSpeech; // digital silence in the pauses
    double measureFrom, measureTo;
};

class SpeechKept : public ::testing::TestWithParam<SpeechKeptCase> { };

} // namespace

// The speech in the output keeps its level: the clean voice's share of the
// output (its projection on the voice) is within 1 dB of the voice itself.
TEST_P(SpeechKept, VoiceLevelWithinOneDecibel)
{
    const SpeechKeptCase c = GetParam();
    const std::vector<float> voice = syllables(c.seconds, c.speechAmplitude);
    Stereo input = whiteNoise(c.noiseRms, c.seconds);
    for (size_t i = 0; i < voice.size(); ++i) {
        const bool silent = c.noiseOnlyUnderSpeech && voice[i] == 0.0f;
        input.left[i] = silent ? 0.0f : input.left[i] + voice[i];
    }
    input.right = input.left;
    VoiceIsolation isolation(kRate);
    const Stereo out = runOn16Bit(isolation, interleaved16(input));
    double cross = 0, power = 0;
    for (auto i = static_cast<size_t>(c.measureFrom * kRate); i < static_cast<size_t>(c.measureTo * kRate); ++i) {
        cross += double(out.left[i]) * voice[i];
        power += double(voice[i]) * voice[i];
    }
    EXPECT_NEAR(20 * std::log10(cross / power), 0.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SpeechKept,
    ::testing::Values(
        // A file that starts on a word: nothing is learnt yet, and the voice
        // must not be taken for the background.
        SpeechKeptCase{"FirstWordOfAFile", 4, 0.02, 0.003, false, 0.0, 0.25},
        // Quiet speech, the hiss under it gated away in the pauses (a call's
        // system audio, a noise gate): no background is ever heard alone.
        SpeechKeptCase{"QuietSpeechBetweenDigitalSilence", 10, 0.005, 0.0005, true, 0.0, 9.0},
        // Speech in steady hiss once the hiss is known.
        SpeechKeptCase{"SpeechInHiss", 10, 0.02, 0.003, false, 3.0, 9.0}),
    [](const auto& row) { return std::string(row.param.name); });

namespace {

struct SpokenStartCase {
    const char* name;
    const char* voice;
    const char* text;
};

class SpokenStart : public ::testing::TestWithParam<SpokenStartCase> { };

} // namespace

// A recording that starts on a spoken word, in a steady hiss 10 dB below the
// voice: the first quarter second keeps its level within 1 dB, as a later
// word after a pause does.
TEST_P(SpokenStart, FirstWordKeepsItsLevel)
{
    const SpokenStartCase c = GetParam();
    const std::vector<int16_t> spoken = SpeechFixture::speak(QString::fromUtf8(c.text), QString::fromUtf8(c.voice));
    // espeak-ng's lead-in is cut, so the word starts at the first sample;
    // a pause follows, then the sentence again.
    const auto first = std::find_if(spoken.begin(), spoken.end(), [](int16_t x) { return std::abs(x) > 64; });
    std::vector<float> voice;
    for (int copy = 0; copy < 2; ++copy) {
        for (auto it = first; it != spoken.end(); ++it)
            voice.push_back(float(*it) / 32768.0f);
        voice.resize(voice.size() + static_cast<size_t>(1.5 * kRate), 0.0f);
    }
    double power = 0;
    size_t spokenSamples = 0;
    for (const float x : voice) {
        power += double(x) * x;
        spokenSamples += std::fabs(x) > 0.002f;
    }
    const double scale = std::pow(10.0, -26.0 / 20) / std::sqrt(power / double(spokenSamples)); // -26 dBFS
    for (float& x : voice)
        x = float(x * scale);
    Stereo input = whiteNoise(std::pow(10.0, -36.0 / 20), double(voice.size()) / kRate);
    for (size_t i = 0; i < voice.size(); ++i)
        input.left[i] += voice[i];
    input.right = input.left;

    VoiceIsolation isolation(kRate);
    const Stereo out = runOn16Bit(isolation, interleaved16(input));
    double cross = 0, clean = 0;
    for (size_t i = 0; i < static_cast<size_t>(0.25 * kRate); ++i) {
        cross += double(out.left[i]) * voice[i];
        clean += double(voice[i]) * voice[i];
    }
    EXPECT_NEAR(20 * std::log10(cross / clean), 0.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Speech, SpokenStart,
    ::testing::Values(SpokenStartCase{"English", "en-us", "The quarterly numbers came in lower than we planned for."},
                      SpokenStartCase{"ItalianFemale", "it+f3", "Abbiamo bisogno di una risposta entro la fine del mese."}),
    [](const auto& row) { return std::string(row.param.name); });

// A decoded file often starts with digital silence (the encoder's delay), a
// muted input gives stretches of it: neither may leave the suppressor
// believing in a silent background when the noise comes.
TEST(VoiceIsolation, NoiseAfterDigitalSilenceIsLoweredFromTheStart)
{
    for (const double silentSeconds : {0.0, 0.05, 1.0}) {
        Stereo input = whiteNoise(0.01, silentSeconds + 2.5);
        input.right = input.left;
        std::fill_n(input.left.begin(), static_cast<size_t>(silentSeconds * kRate), 0.0f);
        std::fill_n(input.right.begin(), static_cast<size_t>(silentSeconds * kRate), 0.0f);
        VoiceIsolation isolation(kRate);
        const Stereo out = runOn16Bit(isolation, interleaved16(input));
        const double from = silentSeconds + 0.2;
        EXPECT_LT(windowDb(out.left, from, from + 2) - windowDb(input.left, from, from + 2), -15.0)
            << silentSeconds << " s of silence first";
    }
}

// A background that gets louder (a fan switched on) is learnt within three
// seconds.
TEST(VoiceIsolation, LouderBackgroundIsLearnt)
{
    Stereo input = whiteNoise(0.001, 9); // -60 dBFS, then -40 dBFS from 4 s on
    input.right = input.left;
    for (auto i = static_cast<size_t>(4 * kRate); i < input.left.size(); ++i)
        input.left[i] = input.right[i] *= 10.0f;
    VoiceIsolation isolation(kRate);
    const Stereo out = runOn16Bit(isolation, interleaved16(input));
    EXPECT_LT(windowDb(out.left, 7, 9) - windowDb(input.left, 7, 9), -15.0);
}

// A recording of the microphone alone until system audio joins the right
// channel: its suppressor, idle until then, must not let the hiss through or
// click as it takes over.
TEST(EnhancementChain, RightChannelThatPartsHalfwayStaysWithTheLeft)
{
    constexpr double switchSeconds = 8.3; // in a pause, long after the start
    Stereo input = voiceOverHiss(11);
    const Stereo joining = whiteNoise(0.0005, 11, 9); // -66 dBFS, other audio
    for (auto i = static_cast<size_t>(switchSeconds * kRate); i < input.right.size(); ++i)
        input.right[i] += joining.left[i];
    EnhancementChain chain;
    const Stereo out = runOn16Bit(chain, interleaved16(input));
    const double at = switchSeconds;

    for (const auto& [from, to] : {std::pair{at, at + 0.05}, std::pair{at + 0.05, at + 0.2}, std::pair{at + 0.2, 11.0}})
        EXPECT_NEAR(windowDb(out.right, from, to), windowDb(out.left, from, to), 1.0) << from << " s to " << to << " s";
    EXPECT_LT(largestStep(out.right, at - 0.05, at + 0.2), 1.5f * largestStep(out.left, at - 0.05, at + 0.2));
}

// Limiting one channel of a block whose channels are equal gives what
// limiting both gives, on the way in from a stereo stretch (whose frames are
// still in the delay line) and on the way back out.
TEST(PeakLimiter, EqualChannelsLimitedOnceMatchBothLimited)
{
    const Stereo loud = tone(200, 1.5, 0.1);
    const Stereo quiet = tone(300, 0.7, 0.1);
    PeakLimiter once(kRate);
    PeakLimiter both(kRate);
    const auto stereoBlock = [&] {
        Stereo a{loud.left, quiet.left};
        Stereo b = a;
        once.process(a.left.data(), a.right.data(), a.left.size());
        both.process(b.left.data(), b.right.data(), b.left.size());
        EXPECT_EQ(differingSamples(a.left, b.left) + differingSamples(a.right, b.right), 0u);
    };
    stereoBlock();
    // Equal channels, but the delay line still holds the stereo frames.
    EXPECT_FALSE(once.delaysSameChannels());
    {
        Stereo a{quiet.left, quiet.left};
        Stereo b = a;
        once.process(a.left.data(), a.right.data(), a.left.size());
        both.process(b.left.data(), b.right.data(), b.left.size());
    }
    ASSERT_TRUE(once.delaysSameChannels());

    Stereo a{loud.left, loud.left};
    Stereo b = a;
    once.processSame(a.left.data(), a.left.size());
    both.process(b.left.data(), b.right.data(), b.left.size());
    EXPECT_EQ(differingSamples(a.left, b.left) + differingSamples(a.left, b.right), 0u);
    stereoBlock();
}
