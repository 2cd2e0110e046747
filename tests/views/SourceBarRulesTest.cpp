#include "views/logic/LevelMeterRules.h"
#include "views/logic/SourceBarRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

using namespace SourceBarRules;

TEST(SourceBarRules, WidthClassesChangeAtTheirStrictBoundaries)
{
    const struct {
        double width;
        WidthClass expected;
    } cases[] = {
        {1400, WidthClass::full},       {1220, WidthClass::full},
        {1219.5, WidthClass::compact},  {initialBarWidth, WidthClass::compact},
        {1060, WidthClass::compact},    {1059.5, WidthClass::veryCompact},
        {960, WidthClass::veryCompact}, {0, WidthClass::veryCompact},
    };
    for (const auto& c : cases)
        EXPECT_EQ(widthClass(c.width), c.expected) << c.width;
}

TEST(SourceBarRules, EachWidthClassHasItsMetrics)
{
    const struct {
        WidthClass widthClass;
        int barSpacing, barPadding, groupSpacing, groupPadding;
        const char* micLabel;
        const char* systemLabel;
        int pickerMin, pickerMax, slider;
        bool percentage, internalMix;
        int meter;
        const char* echo;
        int echoPadding;
        bool compactBadges, dot;
    } cases[] = {
        {WidthClass::full, 16, 16, 8, 10, "Microphone", "System Audio", 120, 160, 60, true, true, 38, "Echo Guard", 9,
         false, false},
        {WidthClass::compact, 12, 16, 8, 10, "Microphone", "System Audio", 100, 130, 50, true, false, 32, "Echo Guard", 9,
         true, true},
        {WidthClass::veryCompact, 8, 10, 6, 8, "Mic", "System", 80, 130, 45, false, false, 26, "Echo", 7, true, true},
    };
    for (const auto& c : cases) {
        const Metrics m = metrics(c.widthClass);
        SCOPED_TRACE(c.micLabel + std::string(" ") + std::to_string(c.barSpacing));
        EXPECT_EQ(m.barSpacing, c.barSpacing);
        EXPECT_EQ(m.barPadding, c.barPadding);
        EXPECT_EQ(m.groupSpacing, c.groupSpacing);
        EXPECT_EQ(m.groupPadding, c.groupPadding);
        EXPECT_EQ(m.micLabel, c.micLabel);
        EXPECT_EQ(m.systemLabel, c.systemLabel);
        EXPECT_EQ(m.pickerMinWidth, c.pickerMin);
        EXPECT_EQ(m.pickerMaxWidth, c.pickerMax);
        EXPECT_EQ(m.sliderWidth, c.slider);
        EXPECT_EQ(m.showsPercentage, c.percentage);
        EXPECT_EQ(m.showsInternalMix, c.internalMix);
        EXPECT_EQ(m.meterWidth, c.meter);
        EXPECT_EQ(m.echoGuardLabel, c.echo);
        EXPECT_EQ(m.echoGuardPadding, c.echoPadding);
        EXPECT_EQ(m.compactBadges, c.compactBadges);
        EXPECT_EQ(m.sourceBadgeAsDot, c.dot);
    }
}

TEST(SourceBarRules, SourceBadgeNamesTheChosenSources)
{
    const struct {
        bool mic, system;
        const char* text;
        ColorRole color;
        bool echoGuard;
    } cases[] = {
        {true, true, "Mic + System Audio", ColorRole::green, true},
        {true, false, "Mic Only", ColorRole::blue, false},
        {false, true, "System Audio Only", ColorRole::blue, false},
        {false, false, "No Source Selected", ColorRole::red, false},
    };
    for (const auto& c : cases) {
        const SourceBadge badge = sourceBadge(c.mic, c.system);
        EXPECT_EQ(badge.text, c.text);
        EXPECT_EQ(badge.color, c.color) << c.text;
        EXPECT_EQ(showsEchoGuard(c.mic, c.system), c.echoGuard) << c.text;
        // Without a sound server no choice can be recorded.
        const SourceBadge unreachable = sourceBadge(c.mic, c.system, false);
        EXPECT_EQ(unreachable.text, "No Sound Server");
        EXPECT_EQ(unreachable.color, ColorRole::red);
    }
}

TEST(SourceBarRules, PermissionButtonOnlyForMissingPermissionWithSystemAudioOn)
{
    EXPECT_TRUE(showsPermissionButton(true, true));
    EXPECT_FALSE(showsPermissionButton(true, false));
    EXPECT_FALSE(showsPermissionButton(false, true));
}

TEST(SourceBarRules, PercentagesTruncateTheSinglePrecisionProduct)
{
    // 1.4 and 0.9 are not exact in binary: the product in double precision
    // would give 139 and 89.
    const struct {
        float gain;
        const char* text;
    } cases[] = {
        {0.0f, "0%"},    {0.999f, "99%"}, {1.4f, "140%"}, {0.9f, "90%"},
        {2.5f, "250%"},  {2.0f, "200%"},  {0.05f, "5%"},  {std::numeric_limits<float>::quiet_NaN(), "0%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(percentText(c.gain), c.text) << c.gain;
    EXPECT_EQ(micGainTooltip(1.4f), "Microphone volume gain (Current: 140%)");
    EXPECT_EQ(systemGainTooltip(0.9f), "System Audio volume gain (Current: 90%)");
}

TEST(SourceBarRules, PickerListsDevicesOrOneRowSayingWhyThereIsNone)
{
    // Nothing listed means nothing to record from: the server's default is
    // then an output's monitor, never a microphone.
    EXPECT_EQ(micPickerRows({}), (QList<PickerRow>{{"No Microphone", QString()}}));
    const QList<AudioDevice> devices{{"usb", "USB Mic", false}, {"builtin", "Built-in", true}};
    EXPECT_EQ(micPickerRows(devices), (QList<PickerRow>{{"USB Mic", "usb"}, {"Built-in", "builtin"}}));
    // Without a server the devices it listed before are not offered.
    EXPECT_EQ(micPickerRows(devices, false), (QList<PickerRow>{{"No Sound Server", QString()}}));
    EXPECT_EQ(micPickerRows({}, false), (QList<PickerRow>{{"No Sound Server", QString()}}));
}

TEST(LevelMeterRules, FillCoversTheLevelsShareOfTheTrackAndNoMore)
{
    const struct {
        float level;
        bool active;
        double fill;
    } cases[] = {
        {0.0f, true, 0},
        {0.5f, true, 50},
        {1.0f, true, 100},
        {1.7f, true, 100},
        {-1.0f, true, 0},
        {std::numeric_limits<float>::quiet_NaN(), true, 0},
        {std::numeric_limits<float>::infinity(), true, 100},
        {0.5f, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LevelMeterRules::fillWidth(100, c.level, c.active), c.fill) << c.level << " " << c.active;
}
