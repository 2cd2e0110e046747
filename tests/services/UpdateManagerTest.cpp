#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "models/AppVersion.h"
#include "services/updates/UpdateArchive.h"
#include "services/updates/UpdateManager.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ZipFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestEnvironment.h"

namespace {

using Kind = UpdateState::Kind;
using ZipFixture::Entry;

const QString kFeed = QStringLiteral("/nimbrel/app/version.json");
const QString kArchive = QStringLiteral("/files/update.zip");

class UpdateManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppVersion::setInfoDictionaryOverride(QVariantMap{{QStringLiteral("version"), QStringLiteral("1.2.0")},
                                                         {QStringLiteral("build"), QStringLiteral("5")}});
        QString base = server.url(QStringLiteral("/")).toString();
        base.chop(1);
        qputenv("NIMBREL_UPDATE_HOST", base.toUtf8());
        settings = std::make_unique<Settings>(folder.filePath(QStringLiteral("settings.ini")));
        manager = makeManager();
    }
    void TearDown() override
    {
        qunsetenv("NIMBREL_UPDATE_HOST");
        AppVersion::setInfoDictionaryOverride(std::nullopt);
    }

    std::unique_ptr<UpdateManager> makeManager()
    {
        auto made = std::make_unique<UpdateManager>(*settings);
        made->setUpdatesFolder(folder.filePath(QStringLiteral("Updates")));
        QObject::connect(made.get(), &UpdateManager::stateChanged, made.get(),
                         [this, m = made.get()] { kinds << m->state().kind; });
        return made;
    }

    void serveFeed(const QString& version, qint64 build, const QString& extra = {})
    {
        server.setBody(kFeed,
                       QStringLiteral(R"({"version":"%1","build":%2,"downloadURL":"%3"%4})")
                           .arg(version)
                           .arg(build)
                           .arg(server.url(kArchive).toString(), extra)
                           .toUtf8(),
                       "application/json");
    }

    bool waitFor(Kind kind, int timeoutMs = 10000)
    {
        return TestEnvironment::waitUntil([&] { return manager->state().kind == kind; }, timeoutMs);
    }

    int requestsFor(const QString& path) const
    {
        int count = 0;
        for (const QString& requested : server.requestedPaths())
            count += requested.startsWith(path) ? 1 : 0;
        return count;
    }

    QStringList stagingEntries() const
    {
        return QDir(folder.filePath(QStringLiteral("Updates/Staging")))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QDir folder{dir.path()};
    LoopbackHttpServer server;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<UpdateManager> manager;
    QList<Kind> kinds;
};

TEST_F(UpdateManagerTest, ANewerBuildIsDownloadedAndStaged)
{
    serveFeed(QStringLiteral("1.2.0"), 6, QStringLiteral(R"(,"releaseNotes":"Better")"));
    server.setBody(kArchive, ZipFixture::make(ZipFixture::bundle(QStringLiteral("Nimbrel.app"), "new")));

    manager->checkForUpdates(true, false);
    ASSERT_TRUE(waitFor(Kind::ReadyToInstall)) << int(manager->state().kind) << manager->state().message.toStdString();

    EXPECT_EQ(kinds, (QList<Kind>{Kind::Checking, Kind::Available, Kind::Downloading, Kind::Downloading,
                                  Kind::ReadyToInstall}));
    const UpdateState state = manager->state();
    EXPECT_EQ(state.info.releaseNotes, QStringLiteral("Better"));
    EXPECT_EQ(QFileInfo(state.stagedAppPath).fileName(), QStringLiteral("Nimbrel.app"));
    EXPECT_TRUE(QFileInfo(state.stagedAppPath + QStringLiteral("/bin/nimbrel")).isExecutable());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("Updates/Nimbrel_Update_1.2.0.zip"))));
    EXPECT_TRUE(manager->lastChecked().has_value());

    // The six-hourly check finds the same build again: the staged build stays
    // and nothing is downloaded a second time.
    manager->checkForUpdates(true, true);
    manager->checkForUpdates(true, false);
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return requestsFor(kFeed) == 2; }));
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_EQ(manager->state(), state);
    EXPECT_EQ(requestsFor(kArchive), 1);
}

TEST_F(UpdateManagerTest, FeedFailuresEndInErrorOrQuietlyInIdle)
{
    struct Case {
        const char* name;
        std::function<void()> serve;
        QString manualMessage; // empty: any decoding message
    };
    const Case cases[] = {
        {"404", [&] {}, QStringLiteral("Server returned HTTP 404")},
        {"no downloadURL", [&] { server.setBody(kFeed, R"({"version":"2.0","build":1})"); }, {}},
        {"string build",
         [&] { server.setBody(kFeed, R"({"version":"2.0","build":"7","downloadURL":"https://h/u.zip"})"); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.serve();
        for (const bool silent : {false, true}) {
            manager = makeManager();
            kinds.clear();
            manager->checkForUpdates(true, silent);
            ASSERT_TRUE(TestEnvironment::waitUntil([&] { return kinds.size() >= 2; }));
            if (silent) {
                EXPECT_EQ(kinds, (QList<Kind>{Kind::Checking, Kind::Idle}));
            } else {
                EXPECT_EQ(manager->state().kind, Kind::Error);
                if (!c.manualMessage.isEmpty())
                    EXPECT_EQ(manager->state().message, c.manualMessage);
                else
                    EXPECT_FALSE(manager->state().message.isEmpty());
            }
            EXPECT_FALSE(manager->lastChecked().has_value());
        }
    }
}

TEST_F(UpdateManagerTest, UpToDateFallsBackToIdle)
{
    serveFeed(QStringLiteral("1.2"), 5);
    for (const bool silent : {true, false}) {
        manager = makeManager();
        QElapsedTimer clock;
        clock.start();
        manager->checkForUpdates(true, silent);
        ASSERT_TRUE(waitFor(Kind::UpToDate));
        ASSERT_TRUE(waitFor(Kind::Idle, 5000));
        EXPECT_GE(clock.elapsed(), silent ? 1900 : 2900);
    }
    EXPECT_EQ(requestsFor(kArchive), 0);
}

TEST_F(UpdateManagerTest, BusySilentOffAndUnconfiguredChecksSendNothing)
{
    serveFeed(QStringLiteral("1.2"), 5);
    manager->checkForUpdates(false, false);
    manager->checkForUpdates(false, false); // dropped while the first runs
    ASSERT_TRUE(waitFor(Kind::UpToDate));
    EXPECT_EQ(requestsFor(kFeed), 1);

    settings->setValue(SettingsKeys::autoCheckUpdates, false);
    manager = makeManager();
    manager->checkForUpdates(true, true);
    manager->startPeriodicChecks(3600);
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_EQ(requestsFor(kFeed), 1);
    EXPECT_EQ(manager->state().kind, Kind::Idle);

    qunsetenv("NIMBREL_UPDATE_HOST");
    settings->setValue(SettingsKeys::autoCheckUpdates, true);
    manager = makeManager();
    manager->startPeriodicChecks(3600);
    manager->checkForUpdates(true, false);
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_EQ(server.requestedPaths().size(), 1);
    EXPECT_EQ(manager->state().kind, Kind::Error);
    EXPECT_EQ(manager->state().message, QStringLiteral("This build has no update server configured."));
}

TEST_F(UpdateManagerTest, TheLaunchPingCarriesOneStableInstallId)
{
    manager->startPeriodicChecks(3600);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return requestsFor(QStringLiteral("/nimbrel/app/ping.php")) == 1; }));
    const QString id = settings->stringValue(QStringLiteral("nimbrel_anonymous_install_id"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"))
                    .match(id)
                    .hasMatch())
        << id.toStdString();
    const QString expected = QStringLiteral("/nimbrel/app/ping.php?id=%1&v=1.2.0&event=launch").arg(id);
    EXPECT_TRUE(server.requestedPaths().contains(expected));

    manager = makeManager(); // the next launch
    manager->sendLaunchPing();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return server.requestedPaths().count(expected) == 2; }));
}

TEST_F(UpdateManagerTest, HostileDownloadsAreRefusedAndLeaveStagingClean)
{
    struct Case {
        const char* name;
        QByteArray archive;
        QString extraFeed;
    };
    const QByteArray good = ZipFixture::make(ZipFixture::bundle(QStringLiteral("Nimbrel.app"), "new"));
    const QString wrongSum = QStringLiteral(R"(,"sha256":"%1")").arg(QString(64, QLatin1Char('0')));
    const Case cases[] = {
        {"parent step", ZipFixture::make({{Entry::File, "Nimbrel.app/../../x", "x"}}), {}},
        {"absolute path", ZipFixture::make({{Entry::File, "/tmp/nimbrel-update-x", "x"}}), {}},
        {"link to /etc", ZipFixture::make({{Entry::Folder, "Nimbrel.app/", {}}, {Entry::Link, "Nimbrel.app/etc", "/etc"}}), {}},
        {"link climbing out", ZipFixture::make({{Entry::Folder, "Nimbrel.app/", {}}, {Entry::Link, "Nimbrel.app/up", "../../.."}}), {}},
        {"another bundle", ZipFixture::make(ZipFixture::bundle(QStringLiteral("Other.app"), "x")), {}},
        {"a web page", "<html><body>Sign in</body></html>", {}},
        {"wrong checksum", good, wrongSum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serveFeed(QStringLiteral("1.3"), 1, c.extraFeed);
        server.setBody(kArchive, c.archive);
        manager = makeManager();
        manager->checkForUpdates(true, false);
        ASSERT_TRUE(waitFor(Kind::Error));
        EXPECT_TRUE(manager->state().message.startsWith(QStringLiteral("Update download failed: ")));
        EXPECT_TRUE(stagingEntries().isEmpty()) << stagingEntries().join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/nimbrel-update-x")));

    // The right checksum passes.
    const QString sum = QString::fromLatin1(QCryptographicHash::hash(good, QCryptographicHash::Sha256).toHex());
    serveFeed(QStringLiteral("1.3"), 1, QStringLiteral(R"(,"sha256":"%1")").arg(sum));
    server.setBody(kArchive, good);
    manager = makeManager();
    manager->checkForUpdates(true, false);
    EXPECT_TRUE(waitFor(Kind::ReadyToInstall));
}

TEST_F(UpdateManagerTest, UnusableOffersTouchNoFile)
{
    UpdateInfo info;
    info.version = QStringLiteral("1.3");
    info.build = 1;
    for (const char* url : {"not a url", "http://updates.example/u.zip", "file:///etc/passwd"}) {
        info.downloadURL = QString::fromLatin1(url);
        manager->downloadAndPrepareUpdate(info);
        EXPECT_EQ(manager->state(), UpdateState::error(QStringLiteral("Invalid download URL in update metadata.")))
            << url;
    }
    info.downloadURL = server.url(kArchive).toString();
    info.version = QStringLiteral("../../1.3");
    manager->downloadAndPrepareUpdate(info);
    EXPECT_EQ(manager->state().kind, Kind::Error);
    EXPECT_EQ(server.requestedPaths().size(), 0);
    EXPECT_TRUE(QDir(folder.filePath(QStringLiteral("Updates"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(UpdateManagerTest, InstallRunsOnlyFromAReadyBundle)
{
    int quits = 0;
    manager->setQuitHandler([&] { ++quits; });
    manager->applyUpdateAndRelaunch(); // idle: nothing
    EXPECT_EQ(quits, 0);

    serveFeed(QStringLiteral("1.3"), 1);
    server.setBody(kArchive, ZipFixture::make(ZipFixture::bundle(QStringLiteral("Nimbrel.app"), "new")));
    manager->checkForUpdates(true, false);
    ASSERT_TRUE(waitFor(Kind::ReadyToInstall));
    const UpdateState ready = manager->state();
    manager->setExecutablePath(folder.filePath(QStringLiteral("build/src/app/nimbrel")));
    testing::internal::CaptureStdout();
    manager->applyUpdateAndRelaunch();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Safety check failed: target path is not a .app bundle: "), std::string::npos);
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(manager->state(), ready);
}

} // namespace
