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

TEST(SourceBarRules, ANarrowerClassNeverTakesMoreRoom)
{
    const Metrics classes[] = {metrics(WidthClass::full), metrics(WidthClass::compact),
                               metrics(WidthClass::veryCompact)};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Metrics& m = classes[i];
        EXPECT_LE(m.pickerMinWidth, m.pickerMaxWidth);
        EXPECT_GT(m.sliderWidth, 0);
        EXPECT_GT(m.meterWidth, 0);
        if (i == 0)
            continue;
        const Metrics& wider = classes[i - 1];
        EXPECT_LE(m.barSpacing, wider.barSpacing);
        EXPECT_LE(m.barPadding, wider.barPadding);
        EXPECT_LE(m.groupSpacing, wider.groupSpacing);
        EXPECT_LE(m.groupPadding, wider.groupPadding);
        EXPECT_LE(m.pickerMinWidth, wider.pickerMinWidth);
        EXPECT_LE(m.pickerMaxWidth, wider.pickerMaxWidth);
        EXPECT_LT(m.sliderWidth, wider.sliderWidth);
        EXPECT_LT(m.meterWidth, wider.meterWidth);
        EXPECT_LE(m.echoGuardPadding, wider.echoGuardPadding);
        EXPECT_LE(m.micLabel.size(), wider.micLabel.size());
        EXPECT_LE(m.systemLabel.size(), wider.systemLabel.size());
        EXPECT_LE(m.echoGuardLabel.size(), wider.echoGuardLabel.size());
        // What a wider bar leaves out stays out.
        EXPECT_TRUE(!m.showsPercentage || wider.showsPercentage);
        EXPECT_TRUE(!m.showsInternalMix || wider.showsInternalMix);
        EXPECT_TRUE(m.compactBadges || !wider.compactBadges);
        EXPECT_TRUE(m.sourceBadgeAsDot || !wider.sourceBadgeAsDot);
    }
}

TEST(SourceBarRules, OnlyTheFullBarShowsEverythingAndOnlyTheNarrowestShortensItsLabels)
{
    const Metrics full = metrics(WidthClass::full);
    EXPECT_TRUE(full.showsPercentage && full.showsInternalMix);
    EXPECT_FALSE(full.compactBadges || full.sourceBadgeAsDot);
    const Metrics compact = metrics(WidthClass::compact);
    EXPECT_FALSE(compact.showsInternalMix);
    EXPECT_TRUE(compact.compactBadges && compact.sourceBadgeAsDot);
    EXPECT_EQ(QStringList({compact.micLabel, compact.systemLabel, compact.echoGuardLabel}),
              QStringList({full.micLabel, full.systemLabel, full.echoGuardLabel}));
    EXPECT_EQ(QStringList({full.micLabel, full.systemLabel, full.echoGuardLabel}),
              QStringList({"Microphone", "System Audio", "Echo Guard"}));
    const Metrics narrowest = metrics(WidthClass::veryCompact);
    EXPECT_FALSE(narrowest.showsPercentage);
    EXPECT_EQ(QStringList({narrowest.micLabel, narrowest.systemLabel, narrowest.echoGuardLabel}),
              QStringList({"Mic", "System", "Echo"}));
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
