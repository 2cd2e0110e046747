#include "common/Text.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(Text, TrimmingTakesTabsAndEverySpaceSeparatorButKeepsLineBreaks)
{
    const struct {
        const char* text;
        const char* trimmed;
    } cases[] = {
        {"  \tHello world \t", "Hello world"},
        {"\u00A0Notes\u2003", "Notes"},
        {"Notes\n", "Notes\n"},
        {"\n  line \n", "\n  line \n"},
        {" \t ", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text::trimSpacesAndTabs(QString::fromUtf8(c.text)), QString::fromUtf8(c.trimmed)) << c.text;
}

TEST(Text, ATypedTitleIsTrimmedAndNothingWhenBlank)
{
    EXPECT_EQ(Text::typedTitle(QStringLiteral(" \tBoard meeting ")), QString("Board meeting"));
    EXPECT_EQ(Text::typedTitle(QStringLiteral(" \t ")), std::nullopt);
    EXPECT_EQ(Text::typedTitle(QString()), std::nullopt);
}

TEST(Text, FirstLineSkipsBlankLinesAndCutsWithAnEllipsis)
{
    EXPECT_EQ(Text::firstLine(QStringLiteral("\n  \n  Disk full  \nmore"), 48), "Disk full");
    EXPECT_EQ(Text::firstLine(QStringLiteral("abcdefghij"), 10), "abcdefghij");
    EXPECT_EQ(Text::firstLine(QStringLiteral("abcd efghijk"), 6), QString::fromUtf8("abcd\u2026"));
    EXPECT_EQ(Text::firstLine(QStringLiteral("\n \n"), 10), "");
}

TEST(Text, CharactersAreCountedAndCutAsAReaderSeesThem)
{
    // An "e" with a combining accent, a flag and a family emoji are one each.
    const QString text = QString::fromUtf8("e\u0301🇮🇹👨‍👩‍👧x");
    EXPECT_EQ(Text::characterCount(text), 4);
    EXPECT_EQ(Text::leftCharacters(text, 1), QString::fromUtf8("e\u0301"));
    EXPECT_EQ(Text::leftCharacters(text, 3), QString::fromUtf8("e\u0301🇮🇹👨‍👩‍👧"));
    EXPECT_EQ(Text::leftCharacters(text, 10), text);
    EXPECT_EQ(Text::leftCharacters(text, 0), "");
    EXPECT_EQ(Text::characterCount(QString()), 0);
}

TEST(Text, AByteCapStopsBeforeTheClusterThatWouldCrossIt)
{
    // "é" is 3 UTF-8 bytes as e plus combining accent, "ab" 2: a cap of 4 keeps "ab" only.
    const QString text = QString::fromUtf8("abe\u0301c");
    EXPECT_EQ(Text::leftCharacters(text, 10, 4), "ab");
    EXPECT_EQ(Text::leftCharacters(text, 10, 5), QString::fromUtf8("abe\u0301"));
    EXPECT_EQ(Text::leftCharacters(text, 2, 100), "ab");
    EXPECT_EQ(Text::leftCharacters(text, 10, 0), "");
}

TEST(Text, HexDigitsInEitherCase)
{
    const struct {
        char c;
        int value;
    } cases[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'F', 15}, {'f', 15}, {'g', -1}, {'G', -1}, {' ', -1}, {'\0', -1}};
    for (const auto& c : cases)
        EXPECT_EQ(Text::hexDigitValue(c.c), c.value) << c.c;
}
