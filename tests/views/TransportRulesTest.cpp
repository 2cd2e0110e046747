#include "views/logic/TransportRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace TransportRules;

TEST(TransportRules, IdleShowsPlaybackControlsOnlyWithASelection)
{
    struct Case {
        bool hasSelection;
        bool isPlaying;
        const char* playSymbol;
        const char* playTooltip;
    } cases[] = {
        {false, false, "play.circle.fill", "Play"},
        {true, false, "play.circle.fill", "Play"},
        {true, true, "pause.circle.fill", "Pause"},
    };
    for (const auto& c : cases) {
        const Layout bar = layout({RecorderState::idle, c.hasSelection, c.isPlaying});
        EXPECT_EQ(bar.face, Face::playback);
        EXPECT_EQ(bar.showsSpeedMenu, c.hasSelection);
        EXPECT_EQ(bar.showsExport, c.hasSelection);
        EXPECT_EQ(bar.skipBack.visible, c.hasSelection);
        EXPECT_EQ(bar.playPause.visible, c.hasSelection);
        EXPECT_EQ(bar.skipForward.visible, c.hasSelection);
        if (c.hasSelection) {
            EXPECT_EQ(bar.playPause.symbol, c.playSymbol);
            EXPECT_EQ(bar.playPause.tooltip, c.playTooltip);
            EXPECT_EQ(bar.skipBack.tooltip, "Skip 15 seconds backward");
            EXPECT_EQ(bar.skipForward.tooltip, "Skip 15 seconds forward");
        }
        EXPECT_EQ(bar.record, (Button{true, true, QString(), "Start Recording"}));
        EXPECT_FALSE(bar.pauseResume.visible);
        EXPECT_FALSE(bar.stop.visible);
        EXPECT_FALSE(bar.done.visible);
    }
}

TEST(TransportRules, RecordingFaceDisablesItsButtonsWhileStartingOrStopping)
{
    struct Case {
        RecorderState state;
        bool enabled;
        const char* pauseSymbol;
        const char* pauseTooltip;
        bool spinner;
    } cases[] = {
        {RecorderState::starting, false, "pause.circle.fill", "Pause Recording", false},
        {RecorderState::recording, true, "pause.circle.fill", "Pause Recording", false},
        {RecorderState::paused, true, "play.circle.fill", "Resume Recording", false},
        {RecorderState::stopping, false, "pause.circle.fill", "Pause Recording", true},
    };
    for (const auto& c : cases) {
        for (bool hasSelection : {false, true}) {
            const Layout bar = layout({c.state, hasSelection, false});
            EXPECT_EQ(bar.face, Face::recording);
            EXPECT_FALSE(bar.showsSpeedMenu);
            EXPECT_FALSE(bar.showsExport);
            EXPECT_FALSE(bar.record.visible);
            EXPECT_FALSE(bar.playPause.visible);
            EXPECT_EQ(bar.pauseResume, (Button{true, c.enabled, c.pauseSymbol, c.pauseTooltip}));
            EXPECT_EQ(bar.stop, (Button{true, c.enabled, QString(), "Stop and Save Recording"}));
            EXPECT_EQ(bar.done, (Button{true, c.enabled, QString(), QString()}));
            EXPECT_EQ(bar.stopShowsSpinner, c.spinner);
        }
    }
}

TEST(TransportRules, RecordButtonDispatchesOnTheStateWhenPressed)
{
    EXPECT_EQ(recordAction(RecorderState::idle), RecordAction::start);
    EXPECT_EQ(recordAction(RecorderState::recording), RecordAction::stop);
    EXPECT_EQ(recordAction(RecorderState::paused), RecordAction::stop);
    EXPECT_EQ(recordAction(RecorderState::starting), RecordAction::none);
    EXPECT_EQ(recordAction(RecorderState::stopping), RecordAction::none);
}

TEST(TransportRules, SpeedLabelUsesTwoSignificantDigitsWhileRowsKeepTheirTexts)
{
    struct Case {
        float rate;
        const char* label;
    } cases[] = {
        {1.0f, "1×"}, {0.75f, "0.75×"}, {1.25f, "1.2×"}, {1.5f, "1.5×"}, {2.0f, "2×"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(speedLabel(c.rate), QString::fromUtf8(c.label)) << c.rate;

    QStringList texts;
    QList<float> rates;
    for (const auto& row : speedRows()) {
        texts << row.text;
        rates << row.rate;
    }
    EXPECT_EQ(texts, (QStringList{"0.75×", "1.0× (Normal)", "1.25×", "1.5×", "2.0×"}));
    EXPECT_EQ(rates, (QList<float>{0.75f, 1.0f, 1.25f, 1.5f, 2.0f}));
}
