#include "audio/SoundServerHardwareProbe.h"

#include "support/PulseTestTools.h"
#include "support/TemporaryModule.h"
#include "support/TestEnvironment.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace PulseTestTools;

TEST(SoundServerHardwareProbe, ReadsTheInputVolumeSliderOfTheDefaultSource)
{
    SoundServerHardwareProbe probe;
    struct Case {
        const char* volume;
        float expected;
    };
    // The same probe throughout: a kept answer gives way once the server reports the change.
    for (const Case& c : {Case{"50%", 0.5f}, Case{"10%", 0.1f}, Case{"100%", 1.0f}}) {
        pactl({QStringLiteral("set-source-volume"), QStringLiteral("test_mic"), QString::fromLatin1(c.volume)});
        EXPECT_TRUE(TestEnvironment::waitUntil(
            [&] {
                const std::optional<float> volume = probe.defaultInputVolume();
                return volume && std::abs(*volume - c.expected) < 0.001f;
            },
            2000))
            << c.volume;
    }
}

TEST(SoundServerHardwareProbe, NamesTheDefaultOutputForTheHeadphoneCheck)
{
    struct Case {
        const char* description;
        bool headphones;
    };
    SoundServerHardwareProbe probe;
    for (const Case& c : {Case{"AirPods Test", true}, Case{"Desk Speakers", false}}) {
        const QString description = QString::fromLatin1(c.description);
        TemporaryModule sink(QStringLiteral("module-null-sink"),
                             {QStringLiteral("sink_name=probe_out"),
                              QStringLiteral("sink_properties='device.description=\"%1\"'").arg(description)},
                             {QStringLiteral("set-default-sink"), QStringLiteral("test_sink")});
        pactl({QStringLiteral("set-default-sink"), QStringLiteral("probe_out")});
        std::optional<QString> name;
        TestEnvironment::waitUntil(
            [&] {
                name = probe.defaultOutputDeviceName();
                return name && name->contains(description);
            },
            2000);
        ASSERT_TRUE(name.has_value());
        EXPECT_TRUE(name->contains(description)) << name->toStdString();
        EXPECT_EQ(AudioHardwareProbe::isHeadphonesName(*name), c.headphones) << c.description;
    }
}
