#include "views/logic/MergePanelRules.h"
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

TEST(SidebarRules, InMergeModeARowClickPicksAnyRowButTheSource)
{
    using Click = SidebarRules::RowClick;
    for (RecorderState state : allStates) {
        const bool idle = state == RecorderState::idle;
        EXPECT_EQ(SidebarRules::rowClick(state, false, true, false), (Click{false, false, idle}));
        EXPECT_EQ(SidebarRules::rowClick(state, true, true, false), (Click{true, false, idle}));
        EXPECT_EQ(SidebarRules::rowClick(state, false, true, true), (Click{false, false, false}));
    }
    EXPECT_EQ(SidebarRules::headerTitle(true), "Select other recordings");
    EXPECT_EQ(SidebarRules::headerTitle(false), "All Recordings");
}

TEST(MergePanelRules, CountsTheSourceOnTheButtonAndInTheQuestion)
{
    struct Case {
        qsizetype picked;
        bool merging;
        const char* line;
        ColorRole lineColor;
        const char* button;
        bool enabled;
        const char* title;
    } cases[] = {
        {0, false, "0 of 5 selected", ColorRole::secondary, "Merge (1)", false, "Merge 1 Recordings?"},
        {2, false, "2 of 5 selected", ColorRole::accent, "Merge (3)", true, "Merge 3 Recordings?"},
        {2, true, "2 of 5 selected", ColorRole::accent, "Merge (3)", false, "Merge 3 Recordings?"},
        {5, false, "5 of 5 selected", ColorRole::accent, "Merge (6)", true, "Merge 6 Recordings?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MergePanelRules::selectedCountText(c.picked), c.line);
        EXPECT_EQ(MergePanelRules::selectedCountTint(c.picked).role, c.lineColor) << c.picked;
        EXPECT_EQ(MergePanelRules::mergeButtonText(c.picked), c.button);
        EXPECT_EQ(MergePanelRules::mergeButtonEnabled(c.picked, c.merging), c.enabled) << c.picked << c.merging;
        EXPECT_EQ(MergePanelRules::confirmationTitle(c.picked), c.title);
    }
}

TEST(MergePanelRules, TheQuestionListsEachRecordingWithItsDate)
{
    RecordingItem first;
    first.title = "Kickoff";
    first.createdAt = Date::fromUnixSeconds(1700000000);
    RecordingItem second;
    second.title = "Follow-up";
    second.createdAt = Date::fromUnixSeconds(1700003600);
    EXPECT_EQ(MergePanelRules::confirmationMessage({first, second}),
              "This will create a new recording combining the selected audio recordings in chronological order:\n\n"
              "• Kickoff (" + first.formattedDate() + ")\n• Follow-up (" + second.formattedDate()
                  + ")\n\nOriginal recordings will remain untouched.");
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
