#include "views/logic/RecordingRowRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace RecordingRowRules;

namespace {

std::optional<QString> snippet(const char* transcript, const char* query)
{
    RecordingItem item;
    item.transcript = QString::fromUtf8(transcript);
    return transcriptSnippet(item, QString::fromUtf8(query));
}

QString repeated(char c, int count)
{
    return QString(count, QLatin1Char(c));
}

const QString ellipsis(QChar(0x2026));

} // namespace

TEST(RecordingRowRules, SnippetCutsTwentyCharactersBeforeAndThirtyFiveAfter)
{
    struct Case {
        int before;
        int after;
        bool leading;
        bool trailing;
    } cases[] = {
        {0, 0, false, false},
        {20, 35, false, false},
        {21, 35, true, false},
        {20, 36, false, true},
        {50, 50, true, true},
    };
    for (const auto& c : cases) {
        const QString transcript = repeated('a', c.before) + "match" + repeated('b', c.after);
        RecordingItem item;
        item.transcript = transcript;
        const auto result = transcriptSnippet(item, "MATCH");
        ASSERT_TRUE(result) << c.before << " " << c.after;
        const QString expected = (c.leading ? ellipsis : QString()) + repeated('a', std::min(c.before, 20)) + "match"
            + repeated('b', std::min(c.after, 35)) + (c.trailing ? ellipsis : QString());
        EXPECT_EQ(*result, expected) << c.before << " " << c.after;
    }
}

TEST(RecordingRowRules, SnippetQuotesOnlyTheFirstMatchOnOneLine)
{
    EXPECT_EQ(snippet("Budget talk. Later the budget again.", "budget"), QString("Budget talk. Later the budget again."));
    EXPECT_EQ(snippet("We discussed the\nbudget\nfor next year", "budget"),
              QString("We discussed the budget for next year"));
    // Blanks at the cut ends go, a carriage return stays.
    EXPECT_EQ(snippet("  budget  ", " budget "), QString("budget"));
    EXPECT_EQ(snippet("budget\r", "budget"), QString("budget\r"));
}

TEST(RecordingRowRules, SnippetIsAbsentWithoutAQueryATranscriptOrAMatch)
{
    EXPECT_FALSE(snippet("the budget", "   "));
    EXPECT_FALSE(snippet("the budget", "\n"));
    EXPECT_FALSE(snippet("the budget", "roadmap"));
    RecordingItem untranscribed;
    untranscribed.title = "budget";
    EXPECT_FALSE(transcriptSnippet(untranscribed, "budget"));
}

TEST(RecordingRowRules, SnippetCountsUserPerceivedCharacters)
{
    // Each flag is four UTF-16 units, and "é" written as e and a combining
    // accent is two: twenty of either still count as twenty characters.
    QString flags;
    for (int i = 0; i < 20; ++i)
        flags += QString::fromUtf8("\U0001F1EE\U0001F1F9");
    RecordingItem item;
    item.transcript = flags + "match";
    EXPECT_EQ(transcriptSnippet(item, "match"), flags + "match");
    item.transcript = QString::fromUtf8("\U0001F1EE\U0001F1F9") + flags + "match";
    EXPECT_EQ(transcriptSnippet(item, "match"), ellipsis + flags + "match");

    QString accents;
    for (int i = 0; i < 35; ++i)
        accents += QString::fromUtf8("e\u0301");
    item.transcript = "match" + accents + accents;
    EXPECT_EQ(transcriptSnippet(item, "match"), "match" + accents + ellipsis);
}

TEST(RecordingRowRules, BadgesKeepTheirOrder)
{
    State state;
    EXPECT_TRUE(badges(state).isEmpty());
    state.hasEnhancedFile = true;
    state.isTranscribing = true;
    state.isEnhancing = true;
    EXPECT_EQ(badges(state), (QList<Badge>{Badge::enhancedAvailable, Badge::transcribing, Badge::enhancing}));
    state.hasEnhancedFile = false;
    EXPECT_EQ(badges(state), (QList<Badge>{Badge::transcribing, Badge::enhancing}));
}

TEST(RecordingRowRules, RunningBadgesShowTheirFigureAndTheMenuStopsThem)
{
    State state;
    state.isTranscribing = true;
    state.isEnhancing = true;
    EXPECT_EQ(badgeText(Badge::transcribing, state), QStringLiteral("Transcribing..."));
    EXPECT_EQ(badgeText(Badge::enhancing, state), QStringLiteral("Enhancing..."));
    state.transcriptionPercent = 0;
    state.enhancementPercent = 73;
    EXPECT_EQ(badgeText(Badge::transcribing, state), QStringLiteral("Transcribing... 0%"));
    EXPECT_EQ(badgeText(Badge::enhancing, state), QStringLiteral("Enhancing... 73%"));

    QList<Action> cancels;
    for (const auto& entry : contextMenu(state)) {
        if (entry.action == Action::cancelTranscription || entry.action == Action::cancelEnhancement) {
            cancels.append(entry.action);
            EXPECT_TRUE(entry.enabled);
        }
    }
    EXPECT_EQ(cancels, (QList<Action>{Action::cancelTranscription, Action::cancelEnhancement}));
    state.isTranscribing = false;
    state.isEnhancing = false;
    for (const auto& entry : contextMenu(state))
        EXPECT_FALSE(entry.action == Action::cancelTranscription || entry.action == Action::cancelEnhancement);
}

TEST(RecordingRowRules, LookFollowsSelectionHoverAndRenaming)
{
    struct Case {
        bool selected;
        bool hovered;
        bool editing;
        Tint fill;
        double renameOpacity;
        bool buttons;
    } cases[] = {
        {false, false, false, {ColorRole::none, 0}, 0.0, true},
        {false, true, false, {ColorRole::gray, 0.08}, 0.85, true},
        {true, false, false, {ColorRole::accent, 0.18}, 0.85, true},
        {true, true, false, {ColorRole::accent, 0.18}, 0.85, true},
        {true, false, true, {ColorRole::accent, 0.18}, 0.85, false},
    };
    for (const auto& c : cases) {
        State state;
        state.isSelected = c.selected;
        state.isHovered = c.hovered;
        state.isEditing = c.editing;
        EXPECT_EQ(fill(state), c.fill);
        EXPECT_EQ(renameButtonOpacity(state), c.renameOpacity);
        EXPECT_EQ(exportButtonOpacity(state), c.renameOpacity > 0 ? 1.0 : 0.0);
        EXPECT_EQ(showsRowButtons(state), c.buttons);
        EXPECT_EQ(clickSelects(state), !c.editing);
        EXPECT_EQ(doubleClickRenames(state), !c.editing);
        EXPECT_EQ(titleWeight(state), c.selected ? TextWeight::semibold : TextWeight::medium);
    }
}

TEST(RecordingRowRules, ContextMenuOffersExactlyOneEnhancementEntry)
{
    struct Case {
        bool hasEnhancedFile;
        bool isEnhancing;
        bool isSelected;
        bool isPlayingEnhanced;
        Action action;
        const char* label;
        bool enabled;
    } cases[] = {
        {false, false, false, false, Action::enhance, "Enhance Voice", true},
        {false, true, false, false, Action::enhance, "Enhancing Voice...", false},
        {true, false, false, false, Action::toggleEnhanced, "Switch to Studio Enhanced", true},
        {true, false, true, false, Action::toggleEnhanced, "Switch to Studio Enhanced", true},
        // Another recording's row while the enhanced copy plays still offers the switch to it.
        {true, false, false, true, Action::toggleEnhanced, "Switch to Studio Enhanced", true},
        {true, false, true, true, Action::toggleEnhanced, "Switch to Original Audio", true},
        {true, true, true, true, Action::toggleEnhanced, "Switch to Original Audio", true},
    };
    for (const auto& c : cases) {
        State state;
        state.hasEnhancedFile = c.hasEnhancedFile;
        state.isEnhancing = c.isEnhancing;
        state.isSelected = c.isSelected;
        state.isPlayingEnhanced = c.isPlayingEnhanced;
        const auto menu = contextMenu(state);
        const auto isEnhancement = [](const MenuEntry<Action>& entry) { return entry.symbol == "sparkles"; };
        ASSERT_EQ(std::count_if(menu.begin(), menu.end(), isEnhancement), 1);
        const auto& enhancement = *std::find_if(menu.begin(), menu.end(), isEnhancement);
        EXPECT_EQ(enhancement.action, c.action);
        EXPECT_EQ(enhancement.label, c.label);
        EXPECT_EQ(enhancement.enabled, c.enabled);
        EXPECT_EQ(menu.first().label, "Rename");
        EXPECT_EQ(menu.last().label, "Delete Recording");
        EXPECT_TRUE(menu.last().destructive);
        EXPECT_TRUE(menu.last().separatorBefore);
    }
}

TEST(RecordingRowRules, MergeModeLeavesOnlyTheFileManagerInTheMenu)
{
    State state;
    QStringList labels;
    for (const auto& entry : contextMenu(state)) {
        labels.append(entry.label);
        EXPECT_TRUE(entry.enabled) << entry.label.toStdString();
    }
    EXPECT_EQ(labels, (QStringList{"Rename", "Trim Recording...", "Merge with other recordings...",
                                   "Enhance Voice", "Export MP3 to Downloads", "Show in File Manager",
                                   "Delete Recording"}));
    const auto trim = contextMenu(state)[1];
    EXPECT_EQ(trim.action, Action::trim);
    EXPECT_EQ(trim.symbol, "scissors");
    const auto merge = contextMenu(state)[2];
    EXPECT_EQ(merge.action, Action::startMerge);
    EXPECT_EQ(merge.symbol, "arrow.triangle.merge");

    state.isMergeModeActive = true;
    state.hasEnhancedFile = true;
    for (const auto& entry : contextMenu(state))
        EXPECT_EQ(entry.enabled, entry.action == Action::showInFileManager) << entry.label.toStdString();
}

TEST(RecordingRowRules, MergeModeShowsTheCheckBoxAndTheMergeFills)
{
    struct Case {
        const char* name;
        bool source;
        bool picked;
        bool selected;
        bool hovered;
        Tint fill;
        MergeCheckLook check;
    } cases[] = {
        {"source", true, false, false, false, {ColorRole::accent, 0.12},
         {"checkmark.circle.fill", {ColorRole::accent}, "Base recording (source)"}},
        // The source keeps its own fill also when it is the selected recording.
        {"selected source", true, false, true, true, {ColorRole::accent, 0.12},
         {"checkmark.circle.fill", {ColorRole::accent}, "Base recording (source)"}},
        {"picked", false, true, false, false, {ColorRole::accent, 0.18},
         {"checkmark.square.fill", {ColorRole::accent}, "Deselect recording"}},
        // The selection's fill is away in merge mode; the pointer's stays.
        {"selected", false, false, true, false, {ColorRole::none, 0}, {"square", {ColorRole::secondary}, "Select for merge"}},
        {"hovered", false, false, false, true, {ColorRole::gray, 0.08}, {"square", {ColorRole::secondary}, "Select for merge"}},
    };
    for (const auto& c : cases) {
        State state;
        state.isMergeModeActive = true;
        state.isMergeSource = c.source;
        state.isMergeSelected = c.picked;
        state.isSelected = c.selected;
        state.isHovered = c.hovered;
        EXPECT_EQ(fill(state), c.fill) << c.name;
        EXPECT_EQ(mergeCheckLook(state), c.check) << c.name;
        EXPECT_EQ(mergeCheck(state), c.source ? MergeCheck::sourceMark : MergeCheck::box) << c.name;
        EXPECT_FALSE(showsRowButtons(state)) << c.name;
        EXPECT_FALSE(doubleClickRenames(state)) << c.name;
        EXPECT_TRUE(clickSelects(state)) << c.name;
        EXPECT_EQ(titleWeight(state), c.selected ? TextWeight::semibold : TextWeight::medium) << c.name;
    }
    EXPECT_EQ(mergeCheck(State{}), MergeCheck::none);
}
