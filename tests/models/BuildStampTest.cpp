// Built with the program's own build-info template, stamped with a version
// and build number that differ from the fallback values, so a stamp that does
// not reach the program shows.

#include "models/AppVersion.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(BuildStamp, TheBuildStampsTheProjectVersion)
{
    EXPECT_EQ(AppVersion::currentVersion(), QStringLiteral(NIMBREL_STAMPED_VERSION));
    EXPECT_EQ(AppVersion::currentBuild(), QStringLiteral(NIMBREL_STAMPED_BUILD));
    EXPECT_EQ(AppVersion::currentBuildNumber(), QByteArray(NIMBREL_STAMPED_BUILD).toLongLong());
    EXPECT_EQ(AppVersion::displayString(),
              QStringLiteral("Nimbrel v" NIMBREL_STAMPED_VERSION " (Build " NIMBREL_STAMPED_BUILD ")"));
}
