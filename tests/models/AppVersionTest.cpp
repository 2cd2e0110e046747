#include "models/AppVersion.h"

#include <gtest/gtest.h>

class AppVersionTest : public ::testing::Test {
protected:
    void TearDown() override { AppVersion::setInfoDictionaryOverride(std::nullopt); }
};

TEST_F(AppVersionTest, BuildInfoIsUsedWhenPresent)
{
    AppVersion::setInfoDictionaryOverride(QVariantMap{{"version", "2.3.4"}, {"build", "42"}});
    EXPECT_EQ(AppVersion::currentVersion(), QStringLiteral("2.3.4"));
    EXPECT_EQ(AppVersion::currentBuild(), QStringLiteral("42"));
    EXPECT_EQ(AppVersion::currentBuildNumber(), 42);
    EXPECT_EQ(AppVersion::displayString(), QStringLiteral("Nimbrel v2.3.4 (Build 42)"));
}

TEST_F(AppVersionTest, MissingOrNonStringEntriesFallBack)
{
    AppVersion::setInfoDictionaryOverride(QVariantMap{});
    EXPECT_EQ(AppVersion::currentVersion(), QStringLiteral("1.1.0"));
    EXPECT_EQ(AppVersion::currentBuild(), QStringLiteral("10"));
    EXPECT_EQ(AppVersion::currentBuildNumber(), 10);
    EXPECT_EQ(AppVersion::settingsFooterString(), QStringLiteral("Nimbrel 1.1.0 (Build 10) • 100% On-Device AI"));

    AppVersion::setInfoDictionaryOverride(QVariantMap{{"version", 3}, {"build", 77}});
    EXPECT_EQ(AppVersion::currentVersion(), QStringLiteral("1.1.0"));
    EXPECT_EQ(AppVersion::currentBuild(), QStringLiteral("10"));
    EXPECT_EQ(AppVersion::currentBuildNumber(), 10);
}

TEST_F(AppVersionTest, BuildNumberParsing)
{
    struct Case {
        const char* build;
        qint64 number;
    } cases[] = {
        {"42", 42},
        {"+7", 7},
        {"-3", -3},
        {"007", 7},
        {"9223372036854775807", 9223372036854775807LL},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"9223372036854775808", 10},
        {"1234567890123456789012345", 10},
        {"1.2", 10},
        {"", 10},
        {"+", 10},
        {" 42", 10},
        {"42a", 10},
        {"٤٢", 10}, // digits of another script are not decimal digits here
    };
    for (const auto& c : cases) {
        AppVersion::setInfoDictionaryOverride(QVariantMap{{"build", QString::fromUtf8(c.build)}});
        EXPECT_EQ(AppVersion::currentBuildNumber(), c.number) << c.build;
        EXPECT_EQ(AppVersion::currentBuild(), QString::fromUtf8(c.build));
    }
}
