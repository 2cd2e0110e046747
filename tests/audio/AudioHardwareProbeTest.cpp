#include "audio/AudioHardwareProbe.h"

#include <gtest/gtest.h>

TEST(AudioHardwareProbe, RecognisesHeadphonesByName)
{
    const std::pair<const char*, bool> cases[] = {
        {"Jane's AirPods Pro", true},
        {"AIRPODS MAX", true},
        {"EarPods", true},
        {"Galaxy Buds2", true},
        {"Headphones", true},
        {"Built-in Audio Analog Stereo (Headphones)", true},
        {"WH-1000XM4 Bluetooth", true},
        {"External Speakers", true}, // the word list says external, speakers or not
        {"Built-in Audio Analog Stereo", false},
        {"MacBook Pro Speakers", false},
        {"HDMI / DisplayPort 2 Output", false},
        {"", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(AudioHardwareProbe::isHeadphonesName(QString::fromUtf8(name)), expected) << name;
}
