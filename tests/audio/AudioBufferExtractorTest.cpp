#include "audio/AudioBufferExtractor.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace AudioBufferExtractor;

namespace {

template <typename T>
QByteArray bytesOf(const std::vector<T>& values)
{
    return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size() * sizeof(T)));
}

template <typename T>
CapturedBuffer oneBuffer(const std::vector<T>& data, int channels, bool planar = false, double rate = 44100)
{
    CapturedBuffer buffer;
    buffer.sampleRate = rate;
    buffer.isFloat = std::is_same_v<T, float>;
    buffer.isNonInterleaved = planar;
    buffer.channelsPerFrame = channels;
    buffer.frameCount = int(data.size()) / channels;
    buffer.buffers = {bytesOf(data)};
    return buffer;
}

// Interleaved stereo of two constant sides.
std::vector<int16_t> stereo(int frames, int16_t left, int16_t right)
{
    std::vector<int16_t> data;
    for (int i = 0; i < frames; ++i) {
        data.push_back(left);
        data.push_back(right);
    }
    return data;
}

} // namespace

TEST(AudioBufferExtractor, DuplicatesMonoAndMeasuresTheOutput)
{
    const Extracted result = extractStereo44k(oneBuffer<int16_t>({100, -200}, 1), true);
    EXPECT_THAT(result.samples, ElementsAre(100, 100, -200, -200));
    EXPECT_FLOAT_EQ(result.rms, float(std::sqrt((2 * 100.0 * 100 + 2 * 200.0 * 200) / 4) / 32768));
}

struct SideCase {
    const char* name;
    bool isMicrophone;
    int16_t left;
    int16_t right;
    int16_t expectedLeft;
    int16_t expectedRight;
};

class SideRules : public ::testing::TestWithParam<SideCase> {};

TEST_P(SideRules, FoldStereoByTheLevelOfEachSide)
{
    const SideCase& c = GetParam();
    const Extracted result = extractStereo44k(oneBuffer(stereo(64, c.left, c.right), 2), c.isMicrophone);
    EXPECT_THAT(result.samples, ElementsAreArray(stereo(64, c.expectedLeft, c.expectedRight)));
}

// Levels: 1,000 is 0.031, 40 is 0.0012, 20 is 0.0006, 10 is 0.0003, 2 is 0.00006.
INSTANTIATE_TEST_SUITE_P(AudioBufferExtractor, SideRules, ::testing::Values(
    SideCase{"MicLeftOnlyGoesToBothSides", true, 1000, 0, 1000, 1000},
    SideCase{"MicRightOnlyGoesToBothSides", true, 0, 1000, 1000, 1000},
    SideCase{"MicBothSpeakingAreAveraged", true, 1000, -3001, -1000, -1000}, // -1000.5 truncated toward zero
    SideCase{"MicQuietButAudibleSideIsAveraged", true, 1000, 40, 520, 520},
    SideCase{"MicBothSilentAreAveraged", true, 0, 0, 0, 0},
    SideCase{"SystemDeadLeftTakesTheRight", false, 0, 1000, 1000, 1000},
    SideCase{"SystemDeadRightTakesTheLeft", false, 1000, 2, 1000, 1000},
    SideCase{"SystemBothAliveStayApart", false, 1000, -20, 1000, -20},
    SideCase{"SystemFaintOtherSideDoesNotReplace", false, 2, 10, 2, 10}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(AudioBufferExtractor, ClampsFloatsToTheSymmetricRange)
{
    const std::vector<float> in = {1.5f, -1.5f, 1.0f, -1.0f, 0.5f, -0.25f, std::numeric_limits<float>::quiet_NaN()};
    const Extracted result = extractStereo44k(oneBuffer(in, 1), true);
    EXPECT_THAT(result.samples, ElementsAre(32767, 32767, -32767, -32767, 32767, 32767, -32767, -32767,
                                            16383, 16383, -8191, -8191, 0, 0));
}

TEST(AudioBufferExtractor, AveragesFloatMicrophoneSides)
{
    const Extracted result = extractStereo44k(oneBuffer<float>({0.5f, 0.25f, 0.5f, 0.25f}, 2), true);
    EXPECT_THAT(result.samples, ElementsAre(12287, 12287, 12287, 12287)); // 0.375 x 32,767
}

struct RateCase {
    double rate;
    int framesIn;
    size_t framesOut;
};

class RateConversion : public ::testing::TestWithParam<RateCase> {};

TEST_P(RateConversion, ResamplesOnlyRatesAwayFrom44100)
{
    const RateCase& c = GetParam();
    const Extracted result = extractStereo44k(oneBuffer(stereo(c.framesIn, 1000, 1000), 2, false, c.rate), false);
    EXPECT_EQ(result.samples.size(), 2 * c.framesOut);
    // The level is the converted signal's, before resampling.
    EXPECT_FLOAT_EQ(result.rms, 1000.0f / 32768);
}

INSTANTIATE_TEST_SUITE_P(AudioBufferExtractor, RateConversion, ::testing::Values(
    RateCase{48000, 1024, 940},    // 940.8 truncated
    RateCase{48000, 480, 441},     // exactly 441: a 10 ms delivery loses no frame
    RateCase{32000, 320, 441},
    RateCase{44100.5, 1024, 1024}, // within 1 Hz
    RateCase{44101.1, 1024, 1023}, // 1.1 Hz away is converted
    RateCase{0, 1024, 1024},
    RateCase{-48000, 1024, 1024},
    RateCase{22050, 100, 200}));

TEST(AudioBufferExtractor, ResamplesLinearlyAndCopiesTheLastFrame)
{
    // Half the rate doubles the frames; positions past the last pair copy it.
    EXPECT_THAT(resampleStereo({0, 0, 100, -3}, 1, 2), ElementsAre(0, 0, 50, -1, 100, -3, 100, -3));
    EXPECT_THAT(resampleStereo({0, 0, 100, 100, 200, 200}, 3, 2), ElementsAre(0, 0, 150, 150));
    EXPECT_TRUE(resampleStereo({1, 2}, 48000, 44100).empty());
    EXPECT_TRUE(resampleStereo({}, 48000, 44100).empty());
}

TEST(AudioBufferExtractor, ReadsEveryLayout)
{
    // Four interleaved channels: only the first two are used.
    EXPECT_THAT(extractStereo44k(oneBuffer<int16_t>({1000, -2000, 7, 8, 1100, -2100, 9, 10}, 4), false).samples,
                ElementsAre(1000, -2000, 1100, -2100));

    // Planes one after another in one buffer.
    EXPECT_THAT(extractStereo44k(oneBuffer<int16_t>({1000, 1100, -2000, -2100}, 2, true), false).samples,
                ElementsAre(1000, -2000, 1100, -2100));

    // One buffer per channel; further buffers are ignored.
    CapturedBuffer planes;
    planes.sampleRate = 44100;
    planes.isFloat = true;
    planes.isNonInterleaved = true;
    planes.channelsPerFrame = 3;
    planes.frameCount = 2;
    planes.buffers = {bytesOf<float>({0.5f, -0.5f}), bytesOf<float>({0.25f, -0.25f}), bytesOf<float>({1, 1})};
    EXPECT_THAT(extractStereo44k(planes, false).samples, ElementsAre(16383, 8191, -16383, -8191));
}

TEST(AudioBufferExtractor, GivesNothingForAnUnusableBuffer)
{
    const std::vector<int16_t> frames = stereo(4, 100, 100);
    std::vector<std::pair<const char*, CapturedBuffer>> cases;
    CapturedBuffer noBuffers = oneBuffer(frames, 2);
    noBuffers.buffers.clear();
    cases.emplace_back("no buffers", noBuffers);
    CapturedBuffer noFrames = oneBuffer(frames, 2);
    noFrames.frameCount = 0;
    cases.emplace_back("no frames", noFrames);
    CapturedBuffer noChannels = oneBuffer(frames, 2);
    noChannels.channelsPerFrame = 0;
    cases.emplace_back("no channels", noChannels);
    CapturedBuffer secondMissing = oneBuffer(frames, 2);
    secondMissing.buffers = {bytesOf(frames), QByteArray()};
    cases.emplace_back("second buffer without data", secondMissing);
    // Data shorter than its frame count says is never read past its end.
    CapturedBuffer shortInterleaved = oneBuffer(frames, 2);
    shortInterleaved.frameCount = 5;
    cases.emplace_back("interleaved data too short", shortInterleaved);
    CapturedBuffer shortPlanar = oneBuffer(frames, 2, true);
    shortPlanar.frameCount = 5;
    cases.emplace_back("planar data too short", shortPlanar);
    CapturedBuffer shortFloat = oneBuffer(frames, 2);
    shortFloat.isFloat = true; // 16 bytes hold only two stereo float frames
    cases.emplace_back("float data too short", shortFloat);

    for (const auto& [name, buffer] : cases) {
        const Extracted result = extractStereo44k(buffer, true);
        EXPECT_TRUE(result.samples.empty()) << name;
        EXPECT_EQ(result.rms, 0.0f) << name;
    }
}
