#include "views/logic/SettingsRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

using namespace SettingsRules;

TEST(SettingsRules, TabsInTheirOrderWithLabelsAsIdentity)
{
    QStringList labels;
    for (SettingsTab tab : allTabs())
        labels << rawValue(tab);
    EXPECT_EQ(labels, (QStringList{"General", "Audio", "AI & Recap", "Storage"}));

    const struct {
        const char* raw;
        std::optional<SettingsTab> tab;
    } cases[] = {
        {"General", SettingsTab::general}, {"Audio", SettingsTab::audio}, {"AI & Recap", SettingsTab::ai},
        {"Storage", SettingsTab::storage},  {"ai", std::nullopt},           {"general", std::nullopt},
        {"AI &amp; Recap", std::nullopt},   {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tabFromRawValue(QString::fromUtf8(c.raw)), c.tab) << c.raw;
}

TEST(SettingsRules, GainTextShowsTheStoredValueAndTheSliderHoldsItInRange)
{
    const struct {
        double gain;
        const char* text;
        int micPosition;
        int systemPosition;
    } cases[] = {
        {0.3, "0.3x", 5, 5},
        {0.5, "0.5x", 5, 5},
        // The view model stores its single-precision 1.4 widened to double.
        {static_cast<double>(1.4f), "1.4x", 14, 14},
        {0.9, "0.9x", 9, 9},
        {2.5, "2.5x", 25, 20},
        {3.0, "3.0x", 25, 20},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gainText(c.gain), c.text);
        EXPECT_EQ(gainSliderPosition(c.gain, micGainRange), c.micPosition) << c.gain;
        EXPECT_EQ(gainSliderPosition(c.gain, systemGainRange), c.systemPosition) << c.gain;
    }
    EXPECT_EQ(gainSliderPosition(std::numeric_limits<double>::quiet_NaN(), micGainRange), 5);
    EXPECT_DOUBLE_EQ(gainForSliderPosition(14), 1.4);
}

TEST(SettingsRules, LanguageEntriesAndTheirTags)
{
    QStringList tags;
    for (const LanguageOption& option : languageOptions())
        tags << option.tag;
    EXPECT_EQ(tags, (QStringList{"auto", "en", "it", "es", "fr", "de", "pt", "nl", "ja", "zh"}));
    EXPECT_EQ(languageOptions().first().label, "Auto-Detect (Multilingual)");
    EXPECT_EQ(languageOptions().at(8).label, QString::fromUtf8("Japanese (日本語)"));
}

TEST(SettingsRules, CountLineIsSingularOnlyForOne)
{
    EXPECT_EQ(recordingCountText(0), "0 recordings saved");
    EXPECT_EQ(recordingCountText(1), "1 recording saved");
    EXPECT_EQ(recordingCountText(2), "2 recordings saved");
}
