#include "audio/AudioMixer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Source = AudioMixer::Source;

namespace {

class FakeProbe : public AudioHardwareProbe {
public:
    std::optional<float> volume = 1.0f;
    std::optional<QString> outputName = QStringLiteral("Built-in Audio Analog Stereo");
    int volumeQueries = 0;
    int outputQueries = 0;

    std::optional<float> defaultInputVolume() override
    {
        ++volumeQueries;
        return volume;
    }
    std::optional<QString> defaultOutputDeviceName() override
    {
        ++outputQueries;
        return outputName;
    }
};

std::vector<int16_t> constantFrames(size_t frames, int16_t left, int16_t right)
{
    std::vector<int16_t> samples(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[2 * i] = left;
        samples[2 * i + 1] = right;
    }
    return samples;
}

std::vector<int16_t> constantFrames(size_t frames, int16_t value)
{
    return constantFrames(frames, value, value);
}

std::vector<size_t> stepSizes(const AudioMixer::DeliveryResult& result)
{
    std::vector<size_t> sizes;
    for (const MixStep& step : result.steps)
        sizes.push_back(step.samples.size());
    return sizes;
}

} // namespace

class AudioMixerTest : public ::testing::Test {
protected:
    AudioMixer& makeMixer()
    {
        mixer = std::make_unique<AudioMixer>(probe, [this] { return now; });
        return *mixer;
    }

    // Gains of 1 and no guard: the mix is the plain sum, for tests of the plumbing.
    AudioMixer& makePlainMixer()
    {
        makeMixer();
        mixer->setMicGain(1.0f);
        mixer->setSysGain(1.0f);
        mixer->setEchoGuardEnabled(false);
        return *mixer;
    }

    std::shared_ptr<FakeProbe> probe = std::make_shared<FakeProbe>();
    double now = 100.0;
    std::unique_ptr<AudioMixer> mixer;
};

TEST_F(AudioMixerTest, SoftClipsAboveTwentyEightThousandWithoutAStep)
{
    const std::pair<float, int16_t> cases[] = {
        {28000.0f, 28000}, {-28000.0f, -28000}, {28001.0f, 28001}, {30000.0f, 29890}, {-30000.0f, -29890},
        {40000.0f, 32698}, {1e6f, 32760},       {-1e6f, -32760},   {1234.9f, 1234},   {-1234.9f, -1234},
    };
    for (const auto& [y, expected] : cases)
        EXPECT_EQ(AudioMixer::toSample(AudioMixer::softClip(y)), expected) << y;

    // Louder never comes out quieter, and neighbours stay neighbours: a step
    // in the curve would be a click in every loud passage.
    float previous = AudioMixer::softClip(27000.0f);
    for (float y = 27001.0f; y < 45000.0f; y += 1.0f) {
        const float bent = AudioMixer::softClip(y);
        ASSERT_GE(bent, previous) << y;
        ASSERT_LE(bent - previous, 1.0f) << y;
        previous = bent;
    }

    // The same curve in a two-source step.
    AudioMixer& m = makePlainMixer();
    m.mixDelivery(Source::Microphone, constantFrames(576, 0));
    const auto result = m.mixDelivery(Source::System, constantFrames(576, 30000, -30000));
    ASSERT_EQ(result.steps.size(), 1u);
    EXPECT_THAT(result.steps[0].samples, ElementsAreArray(constantFrames(576, 29890, -29890)));
    EXPECT_FLOAT_EQ(result.steps[0].amplitude, 29890.0f / 32768);
}

TEST_F(AudioMixerTest, AimsTheBoostAtASteadyVoiceLevel)
{
    const std::pair<float, float> cases[] = {
        {0.0f, 1.0f},    {0.002f, 1.0f},    {0.0021f, 1.5f}, {0.01f, 1.5f}, {0.0149f, 1.5f},
        {0.02f, 1.5f},   {0.03f, 1.33333f}, {0.034f, 1.17647f}, {0.035f, 1.0f}, {0.04f, 1.0f},
        {0.5f, 1.0f},
    };
    for (const auto& [level, target] : cases)
        EXPECT_NEAR(AudioMixer::boostTarget(level), target, 1e-4) << level;

    // One two-source step moves the boost 4 % of the way; 983 is a level of 0.03.
    AudioMixer& m = makeMixer();
    m.mixDelivery(Source::System, constantFrames(576, 0));
    m.mixDelivery(Source::Microphone, constantFrames(576, 983));
    EXPECT_NEAR(m.adaptiveMicBoost(), 1.0 + (0.04 / (983.0 / 32768) - 1.0) * 0.04, 1e-5);

    // Single-source steps keep it as it is.
    const float boost = m.adaptiveMicBoost();
    m.setSystemAudioEnabled(false);
    EXPECT_EQ(m.mixDelivery(Source::Microphone, constantFrames(1152, 200)).steps.size(), 2u);
    EXPECT_EQ(m.adaptiveMicBoost(), boost);
}

TEST_F(AudioMixerTest, PadsTheLaggingSourceWithSilenceToWithinATenthOfASecond)
{
    for (Source leader : {Source::Microphone, Source::System}) {
        AudioMixer& m = makePlainMixer();
        const auto leaderQueued = [&] { return leader == Source::Microphone ? m.micQueuedSamples() : m.sysQueuedSamples(); };
        const auto otherQueued = [&] { return leader == Source::Microphone ? m.sysQueuedSamples() : m.micQueuedSamples(); };
        size_t delivered = 0;
        size_t mixed = 0;
        std::vector<int16_t> lastStep;
        for (int i = 0; i < 40; ++i) {
            const auto result = m.mixDelivery(leader, constantFrames(441, 2000)); // loud: no boost
            delivered += 882;
            for (const MixStep& step : result.steps) {
                mixed += step.samples.size();
                lastStep = step.samples;
            }
            EXPECT_LE(leaderQueued() - otherQueued(), AudioMixer::lagLimitSamples);
        }
        // Everything but the last 0.1 s was mixed, against silence.
        EXPECT_EQ(mixed + leaderQueued(), delivered);
        EXPECT_GE(leaderQueued(), AudioMixer::lagLimitSamples - 2 * AudioMixer::chunkSamples);
        EXPECT_THAT(lastStep, Each(2000));
    }
}

TEST_F(AudioMixerTest, PadsOnlyASourceThatStoppedDelivering)
{
    // Both sources delivered once; then only the leader delivers, in pieces of
    // 20 ms. Until the other source has been silent for a quarter of a second
    // its samples are only late, and nothing is put in their place.
    struct Case {
        const char* name;
        size_t leadSamples;
        bool padded;
    };
    for (const Case& c : {Case{"late by 0.18 s", 16 * 882, false}, Case{"silent for 0.3 s", 30 * 882, true}}) {
        SCOPED_TRACE(c.name);
        for (Source leader : {Source::Microphone, Source::System}) {
            const Source other = leader == Source::Microphone ? Source::System : Source::Microphone;
            AudioMixer& m = makePlainMixer();
            const auto queued = [&](Source source) {
                return source == Source::Microphone ? m.micQueuedSamples() : m.sysQueuedSamples();
            };
            std::vector<int16_t> mixed;
            const auto deliver = [&](Source source, size_t samples) {
                for (const MixStep& step : m.mixDelivery(source, constantFrames(samples / 2, 2000)).steps)
                    mixed.insert(mixed.end(), step.samples.begin(), step.samples.end());
            };
            deliver(leader, 1176);
            deliver(other, 1176);
            for (size_t lead = 0; lead < c.leadSamples; lead += 882)
                deliver(leader, 882);
            if (c.padded)
                EXPECT_LE(queued(leader) - queued(other), AudioMixer::lagLimitSamples);
            else
                EXPECT_EQ(queued(leader) - queued(other), c.leadSamples);
            // The late source catches up: unless its silence was padded, every
            // mixed sample is the sum of both, none the leader alone.
            deliver(other, c.leadSamples);
            ASSERT_FALSE(mixed.empty());
            EXPECT_EQ(std::count(mixed.begin(), mixed.end(), 2000) > 0, c.padded);
            EXPECT_EQ(std::count(mixed.begin(), mixed.end(), 4000) > 0, true);
        }
    }
}

TEST_F(AudioMixerTest, DropsTheOldestSamplesBeyondTwoAndAHalfSeconds)
{
    AudioMixer& m = makePlainMixer();
    std::vector<int16_t> ramp(300000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = int16_t(i / 2 % 20000);

    const auto result = m.mixDelivery(Source::Microphone, ramp);

    ASSERT_EQ(result.steps.size(), 1u);
    const std::vector<int16_t>& out = result.steps[0].samples;
    ASSERT_EQ(out.size(), AudioMixer::queueCapSamples);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), ramp.end() - AudioMixer::queueCapSamples));
    EXPECT_EQ(m.micQueuedSamples(), 0u);
    EXPECT_EQ(m.sysQueuedSamples(), 0u);
}

struct ChunkCase {
    const char* name;
    bool mic;
    bool system;
    std::vector<std::pair<Source, size_t>> deliveries; // source, frames
    std::vector<size_t> lastStepSizes;                  // samples of each step of the last delivery
    size_t flushedSamples;
};

class AudioMixerChunking : public AudioMixerTest, public ::testing::WithParamInterface<ChunkCase> {};

TEST_P(AudioMixerChunking, MixesWholeChunksAndFlushesTheRest)
{
    const ChunkCase& c = GetParam();
    AudioMixer& m = makePlainMixer();
    m.setMicEnabled(c.mic);
    m.setSystemAudioEnabled(c.system);
    AudioMixer::DeliveryResult last;
    for (const auto& [source, frames] : c.deliveries)
        last = m.mixDelivery(source, constantFrames(frames, 100));
    EXPECT_THAT(stepSizes(last), ElementsAreArray(c.lastStepSizes));
    EXPECT_EQ(last.noSourceEnabled, !c.mic && !c.system);
    EXPECT_EQ(m.flush().size(), c.flushedSamples);
    EXPECT_EQ(m.micQueuedSamples() + m.sysQueuedSamples(), 0u);
}

INSTANTIATE_TEST_SUITE_P(AudioMixer, AudioMixerChunking, ::testing::Values(
    // Two sources: everything common to both queues at once, from 576 frames up.
    ChunkCase{"BothMixEverythingCommon", true, true, {{Source::Microphone, 1000}, {Source::System, 700}}, {1400}, 600},
    ChunkCase{"BothWaitBelowAChunk", true, true, {{Source::Microphone, 1000}, {Source::System, 575}}, {}, 2000},
    // One source: every whole chunk of 576 frames queued, the rest waits.
    ChunkCase{"MicEveryWholeChunk", true, false, {{Source::Microphone, 1500}}, {1152, 1152}, 696},
    ChunkCase{"MicWaitsForAChunk", true, false, {{Source::Microphone, 500}}, {}, 1000},
    ChunkCase{"MicCompletesAChunk", true, false, {{Source::Microphone, 500}, {Source::Microphone, 100}}, {1152}, 48},
    ChunkCase{"SystemEveryWholeChunk", false, true, {{Source::System, 3 * 576 + 1}}, {1152, 1152, 1152}, 2},
    ChunkCase{"NoSourceMixesNothing", false, false, {{Source::Microphone, 2000}}, {}, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(AudioMixerTest, SingleSourceQueueNeverGrowsWithLargeDeliveries)
{
    for (Source source : {Source::Microphone, Source::System}) {
        AudioMixer& m = makePlainMixer();
        m.setMicEnabled(source == Source::Microphone);
        m.setSystemAudioEnabled(source == Source::System);
        size_t steps = 0;
        for (int i = 0; i < 500; ++i) {
            steps += m.mixDelivery(source, constantFrames(1024, 50)).steps.size();
            EXPECT_LT(m.micQueuedSamples() + m.sysQueuedSamples(), AudioMixer::chunkSamples);
        }
        EXPECT_EQ(steps, 500u * 1024 / 576);
    }
}

TEST_F(AudioMixerTest, EchoGuardLowersAQuietMicrophoneWhileSpeakersPlay)
{
    AudioMixer& m = makeMixer();
    // Microphone level 0.005 (164 / 32,768), system level 0.1 (3,277 / 32,768).
    m.mixDelivery(Source::Microphone, constantFrames(576, 164));
    ASSERT_EQ(m.mixDelivery(Source::System, constantFrames(576, 3277)).steps.size(), 1u);
    const double lowered = 0.65 + 0.35 * std::pow(0.998, 576);
    EXPECT_NEAR(m.echoGuardCurrentAttenuation(), lowered, 1e-4);

    // The system falls silent: back up by 4 % of the gap per frame.
    m.mixDelivery(Source::Microphone, constantFrames(576, 164));
    m.mixDelivery(Source::System, constantFrames(576, 0));
    EXPECT_NEAR(m.echoGuardCurrentAttenuation(), 1.0 - (1.0 - lowered) * std::pow(0.96, 576), 1e-4);
}

TEST_F(AudioMixerTest, EchoGuardStaysOffOnHeadphonesAndWhenSwitchedOff)
{
    probe->outputName = QStringLiteral("Jane's AIRPODS");
    AudioMixer& m = makeMixer();
    m.mixDelivery(Source::Microphone, constantFrames(576, 164));
    m.mixDelivery(Source::System, constantFrames(576, 3277));
    EXPECT_EQ(m.echoGuardCurrentAttenuation(), 1.0f);
    EXPECT_EQ(probe->outputQueries, 1);

    // Without the guard the output device is not asked and nothing is lowered.
    probe->outputName = QStringLiteral("Speakers");
    now += 10;
    m.setEchoGuardEnabled(false);
    m.setMicGain(1.0f);
    m.setSysGain(0.0f);
    m.mixDelivery(Source::Microphone, constantFrames(576, 164));
    const auto result = m.mixDelivery(Source::System, constantFrames(576, 3277));
    EXPECT_EQ(m.echoGuardCurrentAttenuation(), 1.0f);
    EXPECT_EQ(probe->outputQueries, 1);
    ASSERT_EQ(result.steps.size(), 1u);
    EXPECT_EQ(result.steps[0].samples.back(), int16_t(164 * m.adaptiveMicBoost()));
}

TEST_F(AudioMixerTest, CachesTheHardwareAnswers)
{
    AudioMixer& m = makeMixer();
    EXPECT_EQ(probe->volumeQueries, 1); // the constructor sets the compensation
    probe->volume = 0.5f;
    now += 0.2;
    EXPECT_EQ(m.fetchInputHardwareVolume(), 1.0f);
    now += 0.05;
    EXPECT_EQ(m.fetchInputHardwareVolume(), 0.5f);
    EXPECT_EQ(probe->volumeQueries, 2);

    EXPECT_FALSE(m.isHeadphonesOutput());
    probe->outputName = QStringLiteral("Headphones");
    now += 1.9;
    EXPECT_FALSE(m.isHeadphonesOutput());
    now += 0.1;
    EXPECT_TRUE(m.isHeadphonesOutput());
    EXPECT_EQ(probe->outputQueries, 2);
}

TEST_F(AudioMixerTest, ClampsTheInputVolume)
{
    const std::pair<std::optional<float>, float> cases[] = {
        {0.1f, 0.15f}, {0.0f, 0.15f}, {0.6f, 0.6f}, {1.0f, 1.0f}, {1.7f, 1.0f},
        {std::nullopt, 1.0f}, {std::numeric_limits<float>::quiet_NaN(), 1.0f},
    };
    for (const auto& [answer, expected] : cases) {
        probe->volume = answer;
        AudioMixer& m = makeMixer();
        EXPECT_EQ(m.fetchInputHardwareVolume(), expected);
        EXPECT_FLOAT_EQ(m.smoothedHwCompensation(), 1.0f / expected);
    }
}

TEST_F(AudioMixerTest, GlidesTheCompensationTowardALoweredInputVolume)
{
    struct Case {
        bool system;
        double expected;
    };
    // Per frame with two sources, per sample with the microphone alone.
    for (const Case& c : {Case{true, 2.0 - std::pow(0.998, 576)}, Case{false, 2.0 - std::pow(0.999, 1152)}}) {
        AudioMixer& m = makeMixer();
        m.setSystemAudioEnabled(c.system);
        probe->volume = 0.5f;
        now += 1;
        m.mixDelivery(Source::System, constantFrames(576, 0));
        ASSERT_EQ(m.mixDelivery(Source::Microphone, constantFrames(576, 0)).steps.size(), 1u);
        EXPECT_NEAR(m.smoothedHwCompensation(), c.expected, 1e-4);
        // Outside a recording the level report snaps it.
        m.snapCompensationToInputVolume();
        EXPECT_EQ(m.smoothedHwCompensation(), 2.0f);
        probe->volume = 1.0f;
    }
}

TEST_F(AudioMixerTest, SingleSourceStepsClampAndScaleTheirAmplitude)
{
    AudioMixer& m = makePlainMixer();
    m.setMicEnabled(false);
    auto result = m.mixDelivery(Source::System, constantFrames(576, -32768, 32767));
    ASSERT_EQ(result.steps.size(), 1u);
    EXPECT_THAT(result.steps[0].samples, ElementsAreArray(constantFrames(576, -32767, 32767)));
    EXPECT_FLOAT_EQ(result.steps[0].amplitude, 1.5f); // the peak before the clamp

    // Microphone alone: soft clip, amplitude from the level before clipping.
    m.setMicEnabled(true);
    m.setSystemAudioEnabled(false);
    result = m.mixDelivery(Source::Microphone, constantFrames(576, 30000, 1000));
    ASSERT_EQ(result.steps.size(), 1u);
    EXPECT_THAT(result.steps[0].samples, ElementsAreArray(constantFrames(576, 29890, 1000)));
    EXPECT_FLOAT_EQ(result.steps[0].amplitude, 30000.0f / 32768 * 1.5f);
}

TEST_F(AudioMixerTest, FlushClampsWithoutSoftClipAndPadsTheShorterQueue)
{
    AudioMixer& m = makeMixer();
    m.setMicGain(1.2f);
    m.setSysGain(0.5f);
    m.mixDelivery(Source::Microphone, {30000, -30000, 1000, 10});
    m.mixDelivery(Source::System, {-1000, 1000});
    EXPECT_THAT(m.flush(), ElementsAre(32767, -32768, 1200, 12));

    m.setSystemAudioEnabled(false);
    m.mixDelivery(Source::Microphone, {30000, -30000, 1000});
    EXPECT_THAT(m.flush(), ElementsAre(32767, -32767, 1200));

    m.setSysGain(1.0f);
    m.setMicEnabled(false);
    m.setSystemAudioEnabled(true);
    m.mixDelivery(Source::System, {-32768, 32767, 5});
    EXPECT_THAT(m.flush(), ElementsAre(-32767, 32767, 5));
    EXPECT_TRUE(m.flush().empty());
}

TEST_F(AudioMixerTest, ResetStartsARecordingAfresh)
{
    AudioMixer& m = makeMixer();
    m.mixDelivery(Source::Microphone, constantFrames(576, 164));
    m.mixDelivery(Source::System, constantFrames(576, 3277));
    m.mixDelivery(Source::Microphone, constantFrames(100, 164));
    probe->volume = 0.25f;
    now += 1;
    m.reset();
    EXPECT_EQ(m.micQueuedSamples(), 0u);
    EXPECT_EQ(m.echoGuardCurrentAttenuation(), 1.0f);
    EXPECT_EQ(m.adaptiveMicBoost(), 1.0f);
    EXPECT_EQ(m.smoothedHwCompensation(), 4.0f);
}
