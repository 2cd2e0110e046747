#include "views/logic/SidebarRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

constexpr RecorderState allStates[] = {RecorderState::idle, RecorderState::starting, RecorderState::recording,
                                       RecorderState::paused, RecorderState::stopping};

} // namespace

TEST(SidebarRules, HeaderCountsTheWholeLibraryPlusTheRecordingInProgress)
{
    for (RecorderState state : allStates) {
        const int extra = state == RecorderState::idle ? 0 : 1;
        EXPECT_EQ(SidebarRules::headerCount(0, state), extra);
        EXPECT_EQ(SidebarRules::headerCount(20, state), 20 + extra);
    }
}

TEST(SidebarRules, EmptyStateShowsOnlyWhileIdleAndSaysWhyTheListIsEmpty)
{
    for (RecorderState state : allStates) {
        EXPECT_EQ(SidebarRules::showsEmptyState(true, state), state == RecorderState::idle);
        EXPECT_FALSE(SidebarRules::showsEmptyState(false, state));
    }
    EXPECT_EQ(SidebarRules::emptyStateText(true),
              (SidebarRules::EmptyStateText{"No recordings yet", "Click the red record button below to start."}));
    EXPECT_EQ(SidebarRules::emptyStateText(false),
              (SidebarRules::EmptyStateText{"No matches found", "Try a different search query."}));
}

TEST(SidebarRules, ActiveRowFollowsTheStateAndTheSearch)
{
    struct Case {
        RecorderState state;
        std::optional<QString> title;
        const char* search;
        bool shown;
    } cases[] = {
        {RecorderState::idle, QString("Standup"), "", false},
        {RecorderState::starting, QString("Standup"), "", true},
        {RecorderState::recording, QString("Standup"), "", true},
        {RecorderState::paused, QString("Standup"), "", true},
        {RecorderState::stopping, QString("Standup"), "", true},
        {RecorderState::recording, QString("Weekly Standup"), "STAND", true},
        {RecorderState::recording, QString("Weekly Standup"), "retro", false},
        // The raw search text: blanks around a word are part of it.
        {RecorderState::recording, QString("Weekly Standup"), " standup", true},
        {RecorderState::recording, QString("Weekly Standup"), "standup ", false},
        {RecorderState::recording, std::nullopt, "new", false},
        {RecorderState::recording, std::nullopt, "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SidebarRules::showsActiveRow(c.state, c.title, QString::fromUtf8(c.search)), c.shown)
            << static_cast<int>(c.state) << " '" << c.search << "'";

    EXPECT_EQ(SidebarRules::activeRowTitle(std::nullopt), "New Recording");
    EXPECT_EQ(SidebarRules::activeRowTitle(QString("Interview")), "Interview");
}

TEST(SidebarRules, SavedRowsLookSelectedOnlyWhileIdle)
{
    const QUuid id = QUuid::createUuid();
    for (RecorderState state : allStates)
        EXPECT_EQ(SidebarRules::isRowSelected(state, id, id), state == RecorderState::idle);
    EXPECT_FALSE(SidebarRules::isRowSelected(RecorderState::idle, std::nullopt, id));
    EXPECT_FALSE(SidebarRules::isRowSelected(RecorderState::idle, QUuid::createUuid(), id));
}

TEST(SidebarRules, RowClickSelectsOnlyWhileIdleAndEndsTrimming)
{
    for (RecorderState state : allStates) {
        const bool idle = state == RecorderState::idle;
        EXPECT_EQ(SidebarRules::rowClick(state, false), (SidebarRules::RowClick{false, idle}));
        EXPECT_EQ(SidebarRules::rowClick(state, true), (SidebarRules::RowClick{true, idle}));
    }
}

TEST(SidebarRules, RenameTitlesIgnoreBlankInput)
{
    struct Case {
        const char* typed;
        std::optional<QString> library;
        std::optional<QString> active;
    } cases[] = {
        {"Board meeting", QString("Board meeting"), QString("Board meeting")},
        {"  \tBoard meeting \t", QString("Board meeting"), QString("Board meeting")},
        {"   ", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        // The saved row's field trims only spaces and tabs; the running one's trims line breaks too.
        {"\n", QString("\n"), std::nullopt},
        {"Notes\n", QString("Notes\n"), QString("Notes")},
        {"\u00A0Notes\u2003", QString("Notes"), QString("Notes")},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(SidebarRules::libraryRenameTitle(typed), c.library) << c.typed;
        EXPECT_EQ(SidebarRules::activeRenameTitle(typed), c.active) << c.typed;
    }
}
