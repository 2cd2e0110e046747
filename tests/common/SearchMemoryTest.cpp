#include "common/SearchMemory.h"

#include <gtest/gtest.h>

namespace {

// Long enough to be remembered.
QString longText(const char* words)
{
    return (QString::fromUtf8(words) + QLatin1Char(' ')).repeated(40);
}

} // namespace

// A query a text was read for and lacked answers for every longer query that
// holds it, ignoring case, and for nothing else.
TEST(SearchMemory, ALackedQueryAnswersForTheQueriesHoldingIt)
{
    const QString text = longText("the quarterly budget review");
    SearchMemory memory;
    memory.learnLacks(text, QStringLiteral("Mee"));
    const struct {
        const char* query;
        SearchMemory::Answer answer;
    } cases[] = {
        {"mee", SearchMemory::Answer::lacks},
        {"MEETING", SearchMemory::Answer::lacks},
        {"a meeting", SearchMemory::Answer::lacks},
        {"me", SearchMemory::Answer::unknown},
        {"budget", SearchMemory::Answer::unknown},
        {"m e e", SearchMemory::Answer::unknown},
    };
    for (const auto& each : cases)
        EXPECT_EQ(memory.recall(text, QString::fromUtf8(each.query)), each.answer) << each.query;

    // A shorter query lacked answers more and stays; a query of its own replaces it.
    memory.learnLacks(text, QStringLiteral("meeting"));
    EXPECT_EQ(memory.recall(text, QStringLiteral("meet")), SearchMemory::Answer::lacks);
    memory.learnLacks(text, QStringLiteral("zebra"));
    EXPECT_EQ(memory.recall(text, QStringLiteral("zebras")), SearchMemory::Answer::lacks);
    EXPECT_EQ(memory.recall(text, QStringLiteral("meet")), SearchMemory::Answer::unknown);
}

// A text is known by its storage: an equal text elsewhere, an edited copy or
// a short text is never answered for.
TEST(SearchMemory, AnswersOnlyForTheSameStorage)
{
    const QString text = longText("the quarterly budget review");
    SearchMemory memory;
    memory.learnLacks(text, QStringLiteral("zebra"));
    const QString sameWords = QString(text.constData(), text.size());
    EXPECT_EQ(memory.recall(sameWords, QStringLiteral("zebra")), SearchMemory::Answer::unknown);
    QString edited = text;
    edited.append(QStringLiteral(" zebra"));
    EXPECT_EQ(memory.recall(edited, QStringLiteral("zebra")), SearchMemory::Answer::unknown);
    EXPECT_EQ(memory.recall(text, QStringLiteral("zebra")), SearchMemory::Answer::lacks);

    const QString shortText = QStringLiteral("budget");
    memory.learnLacks(shortText, QStringLiteral("zebra"));
    EXPECT_EQ(memory.recall(shortText, QStringLiteral("zebra")), SearchMemory::Answer::unknown);
}

// The letters, digits and runs of three of a whole text answer for any query
// with one it lacks; the characters that fold to an ASCII letter count as
// that letter.
TEST(SearchMemory, WhatATextLacksAnswersForEveryQueryWithIt)
{
    const QString text = longText("Quarterly budget 2024, the \u212Aelvin review of \u017Fome team plan");
    SearchMemory memory;
    memory.learnFeatures(text, SearchMemory::featuresOf(text));
    const struct {
        const char* query;
        SearchMemory::Answer answer;
    } cases[] = {
        {"zebra", SearchMemory::Answer::lacks},
        {"budget 2025", SearchMemory::Answer::lacks},
        {"QUARTER", SearchMemory::Answer::unknown},
        {"kelvin", SearchMemory::Answer::unknown}, // the Kelvin sign folds to k
        {"some", SearchMemory::Answer::unknown},   // the long s folds to s
        {"caf\u00e9", SearchMemory::Answer::lacks}, // no c
        {"\u00e9", SearchMemory::Answer::unknown},  // nothing to tell from
        {"mee", SearchMemory::Answer::lacks},       // each letter is there, not the three
        {"EAM PLAN", SearchMemory::Answer::unknown},
        {"KELVIN REVIEW", SearchMemory::Answer::unknown},
        {"me\u00e9", SearchMemory::Answer::unknown}, // no run of three ASCII characters
        {"024,", SearchMemory::Answer::unknown},
        {"2024 ", SearchMemory::Answer::lacks},     // a comma follows it
    };
    for (const auto& each : cases)
        EXPECT_EQ(memory.recall(text, QString::fromUtf8(each.query)), each.answer) << each.query;

    // What a worker learnt is taken in for the texts this memory has not read.
    SearchMemory other;
    const QString second = longText("hiring roadmap");
    other.learnFeatures(second, SearchMemory::featuresOf(second));
    memory.adopt(std::move(other));
    EXPECT_EQ(memory.recall(second, QStringLiteral("zebra")), SearchMemory::Answer::lacks);
    EXPECT_EQ(memory.recall(text, QStringLiteral("zebra")), SearchMemory::Answer::lacks);
}
