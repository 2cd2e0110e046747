#include "platform/pulse/PulseDefaultDevices.h"

#include "support/PulseTestTools.h"

#include <gtest/gtest.h>

using namespace PulseTestTools;

TEST(PulseDefaultDevices, ReadsTheDefaultSourceVolumeAsTheSliderPosition)
{
    struct Case {
        const char* volume;
        double share;
    };
    for (const Case& c : {Case{"50%", 0.5}, Case{"25%", 0.25}, Case{"100%", 1.0}}) {
        pactl({QStringLiteral("set-source-volume"), QStringLiteral("test_mic"), QString::fromLatin1(c.volume)});
        const std::optional<PulseSourceInfo> source = PulseDefaultDevices::defaultSource();
        ASSERT_TRUE(source.has_value());
        EXPECT_EQ(source->name, QStringLiteral("test_mic"));
        EXPECT_NEAR(source->volumeShare, c.share, 0.001) << c.volume;
    }
}

TEST(PulseDefaultDevices, ReadsTheDefaultSink)
{
    const std::optional<PulseSinkInfo> sink = PulseDefaultDevices::defaultSink();
    ASSERT_TRUE(sink.has_value());
    EXPECT_EQ(sink->name, QStringLiteral("test_sink"));
    EXPECT_EQ(sink->description, QStringLiteral("Test_Output"));
}
