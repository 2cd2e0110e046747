#include "views/logic/MeetingBannerRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(MeetingBannerRules, EachVariantSaysWhatItOffers)
{
    const auto detected = MeetingBannerRules::content(QStringLiteral("Zoom - Design review"), false, 12);
    EXPECT_EQ(detected.symbol, "video.badge.waveform");
    EXPECT_EQ(detected.tint.role, ColorRole::accent);
    EXPECT_EQ(detected.heading, "Meeting Detected");
    EXPECT_EQ(detected.title, "Zoom - Design review");
    // The detected variant never shows a countdown.
    EXPECT_EQ(detected.detail, "Start capturing meeting audio and generating transcripts & recap?");
    EXPECT_EQ(detected.detailTint.role, ColorRole::secondary);
    EXPECT_EQ(detected.primarySymbol, "record.circle");
    EXPECT_EQ(detected.primaryLabel, "Record");
    EXPECT_EQ(detected.primaryFill.role, ColorRole::accent);
    EXPECT_EQ(detected.secondaryLabel, "Dismiss");

    const auto ended = MeetingBannerRules::content(QStringLiteral("Zoom Call"), true, std::nullopt);
    EXPECT_EQ(ended.symbol, "phone.down.fill");
    EXPECT_EQ(ended.tint.role, ColorRole::orange);
    EXPECT_EQ(ended.heading, "Meeting Ended");
    EXPECT_EQ(ended.title, "Zoom Call");
    EXPECT_EQ(ended.detailTint.role, ColorRole::orange);
    EXPECT_EQ(ended.primarySymbol, "stop.fill");
    EXPECT_EQ(ended.primaryLabel, "Stop & Save");
    EXPECT_EQ(ended.primaryFill.role, ColorRole::red);
    EXPECT_EQ(ended.secondaryLabel, "Keep Recording");
}

TEST(MeetingBannerRules, TheEndDetailCountsDownFromThirtyWhenNoCountdownIsKnown)
{
    struct Case {
        std::optional<int> seconds;
        const char* detail;
    } cases[] = {
        {std::nullopt, "Call finished. Auto-stopping & saving in 30s..."},
        {30, "Call finished. Auto-stopping & saving in 30s..."},
        {7, "Call finished. Auto-stopping & saving in 7s..."},
        {1, "Call finished. Auto-stopping & saving in 1s..."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MeetingBannerRules::endDetail(c.seconds), c.detail);
        EXPECT_EQ(MeetingBannerRules::content(QStringLiteral("Zoom Call"), true, c.seconds).detail, c.detail);
    }
}

TEST(MeetingBannerRules, OffersToRecordOnlyWhenIdleAndToStopOnlyWhileRecording)
{
    struct Case {
        RecorderState state;
        bool detected;
        bool ended;
    } cases[] = {
        {RecorderState::idle, true, false},      {RecorderState::starting, false, false},
        {RecorderState::recording, false, true}, {RecorderState::paused, false, true},
        {RecorderState::stopping, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MeetingBannerRules::showsDetectedBanner(true, c.state), c.detected) << int(c.state);
        EXPECT_EQ(MeetingBannerRules::showsEndBanner(true, c.state), c.ended) << int(c.state);
        EXPECT_FALSE(MeetingBannerRules::showsDetectedBanner(false, c.state));
        EXPECT_FALSE(MeetingBannerRules::showsEndBanner(false, c.state));
    }
}
