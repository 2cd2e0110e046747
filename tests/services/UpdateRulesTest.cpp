#include "services/updates/UpdateInfo.h"
#include "services/updates/UpdateInstaller.h"
#include "services/updates/UpdateManager.h"
#include "services/updates/UpdateServer.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdateVersionOrder, ComparesPiecesThenBuilds)
{
    struct Case {
        const char* remote;
        qint64 remoteBuild;
        const char* current;
        qint64 currentBuild;
        bool newer;
    };
    const Case cases[] = {
        {"1.10", 1, "1.9", 1, true},
        {"2", 1, "1.9.9", 1, true},
        {"1.2", 5, "1.2.0", 4, true}, // equal versions: the build decides
        {"1.2", 4, "1.2.0", 4, false},
        {"1.2.0", 3, "1.2", 4, false},
        {"1.1", 99, "1.2", 1, false}, // a lower version never wins on its build
        {"1.2.3-beta", 1, "1.2", 0, true}, // "3-beta" is dropped: 1.2 against 1.2
        {"1.2.3-beta", 1, "1.2", 1, false},
        {"v1.2", 1, "1.9", 1, true}, // "v1" is dropped: 2 against 1.9
        {"1..2", 1, "1.2", 1, false},
        {"1..2", 2, "1.2", 1, true},
        {"+1", 1, "1", 1, false},
        {"+2", 1, "1", 1, true},
        {"1.99999999999999999999", 1, "1.0", 1, false}, // the overflowing piece is dropped
        {"1.99999999999999999999", 2, "1.0", 1, true},
        {"", 2, "", 1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpdateManager::isRemoteVersionNewer(QString::fromLatin1(c.remote), c.remoteBuild,
                                                      QString::fromLatin1(c.current), c.currentBuild),
                  c.newer)
            << c.remote << " build " << c.remoteBuild << " against " << c.current << " build " << c.currentBuild;
    }
}

TEST(UpdateInfoDecoding, IsStrictAboutRequiredKeys)
{
    const auto full = UpdateInfo::decode(R"({"version":"1.3","build":12,"downloadURL":"https://h/u.zip",
        "releaseNotes":"Fixes","mandatory":false,"extra":[1],"releaseDate":null})");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->version, QStringLiteral("1.3"));
    EXPECT_EQ(full->build, 12);
    EXPECT_EQ(full->releaseNotes, QStringLiteral("Fixes"));
    EXPECT_EQ(full->mandatory, false);
    EXPECT_FALSE(full->releaseDate);

    const char* broken[] = {
        R"({"version":"1.3","build":12})", // no downloadURL
        R"({"version":"1.3","build":"12","downloadURL":"https://h/u.zip"})",
        R"({"version":"1.3","build":1.5,"downloadURL":"https://h/u.zip"})",
        R"({"version":null,"build":12,"downloadURL":"https://h/u.zip"})",
        R"({"version":"1.3","build":12,"downloadURL":"https://h/u.zip","mandatory":"yes"})",
        R"([{"version":"1.3"}])",
        "<html>",
    };
    for (const char* json : broken) {
        QString problem;
        EXPECT_FALSE(UpdateInfo::decode(json, &problem)) << json;
        EXPECT_FALSE(problem.isEmpty()) << json;
    }
}

TEST(UpdateServer, TakesOnlySafeAddressesAndVersions)
{
    EXPECT_TRUE(UpdateServer::isAcceptableDownloadUrl(QUrl(QStringLiteral("https://updates.example/u.zip"))));
    EXPECT_TRUE(UpdateServer::isAcceptableDownloadUrl(QUrl(QStringLiteral("http://127.0.0.1:8080/u.zip"))));
    EXPECT_FALSE(UpdateServer::isAcceptableDownloadUrl(QUrl(QStringLiteral("http://updates.example/u.zip"))));
    EXPECT_FALSE(UpdateServer::isAcceptableDownloadUrl(QUrl(QStringLiteral("file:///tmp/u.zip"))));
    EXPECT_FALSE(UpdateServer::isAcceptableDownloadUrl(QUrl(QStringLiteral("ftp://updates.example/u.zip"))));

    EXPECT_TRUE(UpdateServer::isSafeVersionString(QStringLiteral("1.2.3-beta+7")));
    for (const char* bad : {"", "../x", "1/2", "1 2", "123456789012345678901234567890123"})
        EXPECT_FALSE(UpdateServer::isSafeVersionString(QString::fromLatin1(bad))) << bad;

    qputenv("NIMBREL_UPDATE_HOST", "updates.example");
    EXPECT_EQ(UpdateServer::feedUrl(), QUrl(QStringLiteral("https://updates.example/nimbrel/app/version.json")));
    qputenv("NIMBREL_UPDATE_HOST", "http://updates.example"); // plain http only on loopback
    EXPECT_FALSE(UpdateServer::isConfigured());
    qunsetenv("NIMBREL_UPDATE_HOST");
}

TEST(UpdateInstaller, TakesOnlyTheNimbrelBundleHoldingTheExecutable)
{
    const struct {
        const char* executable;
        const char* bundle;
    } cases[] = {
        {"/opt/Nimbrel.app/bin/nimbrel", "/opt/Nimbrel.app"},
        {"/a/Old.app/b/Nimbrel.app/bin/nimbrel", "/a/Old.app/b/Nimbrel.app"},
        {"/home/u/Projects.app/tools/build/bin/nimbrel", ""}, // a build inside the user's folder
        {"/home/u/Nimbrel.app/build/bin/nimbrel", ""},
        {"/opt/Nimbrel.app/nimbrel", ""},
        {"/opt/Nimbrel.app/bin/other", ""},
        {"/opt/MyNimbrel.app/bin/nimbrel", ""},
        {"/opt/nimbrel.app/bin/nimbrel", ""},
        {"/usr/bin/nimbrel", ""},
        {"/home/u/build/src/app/nimbrel", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateInstaller::bundleOf(QString::fromLatin1(c.executable)), QString::fromLatin1(c.bundle)) << c.executable;
}

} // namespace
