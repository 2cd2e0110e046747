#include "viewmodels/DefaultTitle.h"

#include <gmock/gmock.h>

namespace {

struct TitleCase {
    const char* name;
    QStringList titles;
    QString expected;
};

class DefaultTitleTable : public ::testing::TestWithParam<TitleCase> {};

TEST_P(DefaultTitleTable, NextFreeNumber)
{
    EXPECT_EQ(DefaultTitle::next(GetParam().titles), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, DefaultTitleTable,
    ::testing::Values(
        TitleCase{"EmptyLibrary", {}, QStringLiteral("New Recording 1")},
        TitleCase{"ItalianAndPaddedTitlesCount",
                  {QStringLiteral("New Recording 3"), QStringLiteral("nuova registrazione 7"),
                   QStringLiteral(" New Recording 9 ")},
                  QStringLiteral("New Recording 10")},
        TitleCase{"TakenInOtherCaseIsSkipped",
                  {QStringLiteral("New Recording 3"), QStringLiteral("nuova registrazione 7"),
                   QStringLiteral(" New Recording 9 "), QStringLiteral("new recording 10")},
                  QStringLiteral("New Recording 11")},
        TitleCase{"NoNumberOrTrailingTextDoNotCount",
                  {QStringLiteral("New Recording"), QStringLiteral("New Recording 5a"), QStringLiteral("Call 12")},
                  QStringLiteral("New Recording 1")},
        TitleCase{"LeadingZeros", {QStringLiteral("New Recording 007")}, QStringLiteral("New Recording 8")},
        TitleCase{"DigitsOfOtherScriptsAreNoNumber", {QStringLiteral("New Recording \u0663")},
                  QStringLiteral("New Recording 1")},
        TitleCase{"LargestSignedNumberDoesNotWrap", {QStringLiteral("New Recording 9223372036854775807")},
                  QStringLiteral("New Recording 9223372036854775808")},
        TitleCase{"LongerThanAnyIntegerStillCounts", {QStringLiteral("New Recording 99999999999999999999999")},
                  QStringLiteral("New Recording 100000000000000000000000")}),
    [](const ::testing::TestParamInfo<TitleCase>& row) { return row.param.name; });

} // namespace
