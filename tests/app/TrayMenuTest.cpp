// The tray item's look and menu as a function of the application core's state.
#include "app/TrayMenu.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using TrayMenu::Action;
using TrayMenu::Look;

struct MenuCase {
    const char* name;
    TrayMenu::State state;
    QString statusLine;
    QString toggle;
    Look look;
    QString toolTip;
};

class TrayMenuCases : public ::testing::TestWithParam<MenuCase> {};

TEST_P(TrayMenuCases, StatusLineToggleAndIcon)
{
    const MenuCase& c = GetParam();
    const QList<TrayMenu::Entry> entries = TrayMenu::entries(c.state);
    ASSERT_EQ(entries.size(), 8);
    EXPECT_EQ(entries.at(2).title, c.statusLine);
    EXPECT_FALSE(entries.at(2).enabled);
    EXPECT_EQ(entries.at(2).action, Action::none);
    EXPECT_EQ(entries.at(3).title, c.toggle);
    EXPECT_EQ(entries.at(3).action, Action::toggleRecording);
    EXPECT_TRUE(entries.at(3).enabled);

    const TrayMenu::Button button = TrayMenu::button(c.state);
    EXPECT_EQ(button.look, c.look);
    EXPECT_EQ(button.toolTip, c.toolTip);
}

TrayMenu::State state(std::optional<RecorderState> recorder, double seconds = 0, bool detection = false)
{
    return {recorder, seconds, detection};
}

INSTANTIATE_TEST_SUITE_P(
    States, TrayMenuCases,
    ::testing::Values(
        MenuCase{"NoViewModel", state(std::nullopt), "Status: Ready", "Start Recording", Look::idle, "Nimbrel"},
        MenuCase{"NoViewModelDetecting", state(std::nullopt, 0, true), "Status: Monitoring for meetings",
                 "Start Recording", Look::idle, "Nimbrel"},
        MenuCase{"Idle", state(RecorderState::idle), "Status: Ready", "Start Recording", Look::idle, "Nimbrel"},
        MenuCase{"Starting", state(RecorderState::starting, 0, true), "Status: Monitoring for meetings",
                 "Start Recording", Look::idle, "Nimbrel"},
        MenuCase{"Recording", state(RecorderState::recording, 65.7), "Recording: 01:05", "Stop Recording",
                 Look::recording, "Nimbrel Recording 01:05"},
        MenuCase{"PausedAt125", state(RecorderState::paused, 125, true), "Recording Paused: 02:05", "Stop Recording",
                 Look::paused, "Nimbrel Paused 02:05"},
        MenuCase{"Stopping", state(RecorderState::stopping, 300), "Status: Ready", "Start Recording", Look::idle,
                 "Nimbrel"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TrayMenu, EntriesInOrderWithTheirShortcuts)
{
    const QList<TrayMenu::Entry> entries = TrayMenu::entries(state(RecorderState::idle));
    QStringList titles;
    for (const TrayMenu::Entry& entry : entries)
        titles.append(entry.isSeparator ? QStringLiteral("-") : entry.title);
    EXPECT_EQ(titles, (QStringList{"Open Nimbrel", "-", "Status: Ready", "Start Recording", "-", "Settings...", "-",
                                   "Quit Nimbrel"}));
    EXPECT_EQ(entries.at(0).action, Action::openMainWindow);
    EXPECT_EQ(entries.at(5).action, Action::openSettings);
    EXPECT_EQ(entries.at(5).shortcut, QStringLiteral("Ctrl+,"));
    EXPECT_EQ(entries.at(7).action, Action::quit);
    EXPECT_EQ(entries.at(7).shortcut, QStringLiteral("Ctrl+Q"));
    for (int i : {0, 3})
        EXPECT_TRUE(entries.at(i).shortcut.isEmpty()) << i;
}

TEST(TrayMenu, DurationTexts)
{
    const std::pair<double, const char*> cases[] = {
        {0, "00:00"},        {59.9, "00:59"},      {60, "01:00"},
        {125, "02:05"},      {3725, "62:05"},      {-0.5, "00:00"},
        {6000.2, "100:00"},  {std::numeric_limits<double>::quiet_NaN(), "--:--"},
        {std::numeric_limits<double>::infinity(), "--:--"},  {1e300, "--:--"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(TrayMenu::formatDuration(seconds), QString::fromLatin1(text)) << seconds;
}

} // namespace
