#include "views/logic/RecordingRowRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

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
        {false, false, false, false, Action::enhance, "Enhance Voice (Zadive Dedada)", true},
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
        ASSERT_EQ(menu.size(), 5);
        EXPECT_EQ(menu[0].label, "Rename");
        EXPECT_EQ(menu[1].action, c.action);
        EXPECT_EQ(menu[1].label, c.label);
        EXPECT_EQ(menu[1].symbol, "sparkles");
        EXPECT_EQ(menu[1].enabled, c.enabled);
        EXPECT_EQ(menu[2].label, "Export MP3 to Downloads");
        EXPECT_EQ(menu[3].label, "Show in File Manager");
        EXPECT_EQ(menu[4].label, "Delete Recording");
        EXPECT_TRUE(menu[4].destructive);
        EXPECT_TRUE(menu[4].separatorBefore);
    }
}
