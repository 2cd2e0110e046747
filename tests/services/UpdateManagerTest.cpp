#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "models/AppVersion.h"
#include "services/updates/UpdateArchive.h"
#include "services/updates/UpdateManager.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include "ConnectHook.h"
#include "ZipFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/StdoutCapture.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

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
        QString reason;
    };
    const QByteArray good = ZipFixture::make(ZipFixture::bundle(QStringLiteral("Nimbrel.app"), "new"));
    const QString wrongSum = QStringLiteral(R"(,"sha256":"%1")").arg(QString(64, QLatin1Char('0')));
    const QList<Entry> bin = {{Entry::Folder, "Nimbrel.app/", {}}, {Entry::Folder, "Nimbrel.app/bin/", {}}};
    const QString outside = QStringLiteral("The update archive holds an entry outside its folder: ");
    // Each link looks inside by its own text; together they climb out.
    const QList<Entry> chain = ZipFixture::bundle(QStringLiteral("Nimbrel.app"), "new")
        + QList<Entry>{{Entry::Folder, "Nimbrel.app/x/y/", {}},
                       {Entry::Link, "Nimbrel.app/x/y/a", ".."},
                       {Entry::Link, "Nimbrel.app/x/y/b", "a/.."},
                       {Entry::Link, "Nimbrel.app/x/y/c", "b/.."}};
    // A small archive that unpacks to far more than the limit below.
    const QList<Entry> bomb = {{Entry::Folder, "Nimbrel.app/", {}},
                               {Entry::File, "Nimbrel.app/zeros", QByteArray(64 << 20, '\0')}};
    // The same with every size field saying 1000 bytes: no more is written.
    QByteArray lyingBomb = ZipFixture::make(bomb);
    lyingBomb.replace(QByteArray::fromHex("00000004"), QByteArray::fromHex("e8030000"));
    const Case cases[] = {
        {"parent step", ZipFixture::make({{Entry::File, "Nimbrel.app/../../x", "x"}}), {},
         outside + QStringLiteral("Nimbrel.app/../../x")},
        {"absolute path", ZipFixture::make({{Entry::File, "/tmp/nimbrel-update-x", "x"}}), {},
         outside + QStringLiteral("/tmp/nimbrel-update-x")},
        {"link to /etc", ZipFixture::make({{Entry::Folder, "Nimbrel.app/", {}}, {Entry::Link, "Nimbrel.app/e", "/etc"}}), {},
         outside + QStringLiteral("Nimbrel.app/e")},
        {"link climbing out", ZipFixture::make({{Entry::Folder, "Nimbrel.app/", {}}, {Entry::Link, "Nimbrel.app/up", "../../.."}}), {},
         outside + QStringLiteral("Nimbrel.app/up")},
        {"chained links", ZipFixture::make(chain), {}, outside + QStringLiteral("Nimbrel.app/x/y/c")},
        {"another bundle", ZipFixture::make(ZipFixture::bundle(QStringLiteral("Other.app"), "x")), {},
         QStringLiteral("Valid Nimbrel.app not found inside update archive.")},
        {"no program", ZipFixture::make(bin), {}, QStringLiteral("The update holds no Nimbrel.app/bin/nimbrel.")},
        {"program not executable",
         ZipFixture::make(bin + QList<Entry>{{Entry::File, "Nimbrel.app/bin/nimbrel", ZipFixture::program(), 0644}}), {},
         QStringLiteral("The update's Nimbrel.app/bin/nimbrel is not executable.")},
        {"program a script", ZipFixture::make(bin + QList<Entry>{{Entry::File, "Nimbrel.app/bin/nimbrel", "#!/bin/sh\n"}}), {},
         QStringLiteral("The update's Nimbrel.app/bin/nimbrel is not a program for this computer.")},
        {"program a link", ZipFixture::make(bin + QList<Entry>{{Entry::File, "Nimbrel.app/bin/real", ZipFixture::program()},
                                                               {Entry::Link, "Nimbrel.app/bin/nimbrel", "real"}}), {},
         QStringLiteral("The update's Nimbrel.app/bin/nimbrel is not a regular file.")},
        {"zip bomb", ZipFixture::make(bomb), {}, QStringLiteral("The update archive unpacks to more than 16 MB.")},
        {"zip bomb with a lying header", lyingBomb, {},
         QStringLiteral("The update could not be unpacked: Too much data: Truncating file at 1000 bytes")},
        {"a web page", "<html><body>Sign in</body></html>", {},
         QStringLiteral("The server sent a web page instead of the file.")},
        {"wrong checksum", good, wrongSum, QStringLiteral("The downloaded archive does not match its checksum.")},
    };
    UpdateLimits limits;
    limits.unpackedBytes = 16 << 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serveFeed(QStringLiteral("1.3"), 1, c.extraFeed);
        server.setBody(kArchive, c.archive);
        manager = makeManager();
        manager->setLimits(limits);
        manager->checkForUpdates(true, false);
        ASSERT_TRUE(waitFor(Kind::Error));
        EXPECT_EQ(manager->state().message, QStringLiteral("Update download failed: ") + c.reason);
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

TEST_F(UpdateManagerTest, FeedAndArchiveTransfersAreBounded)
{
    const auto notes = [](qsizetype size) {
        return QStringLiteral(R"(,"releaseNotes":"%1")").arg(QString(size, QLatin1Char('n')));
    };
    LoopbackHttpServer::Response trickle;
    trickle.contentType = "application/json";
    trickle.body = QByteArray(4000, ' ') + "{}";
    trickle.trickleIntervalMs = 100;
    struct Case {
        const char* name;
        std::function<void()> serve;
        int deadlineMs;
        QString message;
    };
    const Case cases[] = {
        {"100 MB feed", [&] { server.setBody(kFeed, QByteArray(100 << 20, ' ')); }, 30000,
         QStringLiteral("The server offered 100 MB, more than the 1 MB allowed.")},
        {"10 MB release notes", [&] { serveFeed(QStringLiteral("1.3"), 1, notes(10 << 20)); }, 30000,
         QStringLiteral("The server offered 10 MB, more than the 1 MB allowed.")},
        {"trickling feed", [&] { server.setResponse(kFeed, trickle); }, 2000,
         QStringLiteral("The server did not finish sending within 2 seconds.")},
    };
    UpdateLimits limits;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.serve();
        limits.feedDeadlineMs = c.deadlineMs;
        manager = makeManager();
        manager->setLimits(limits);
        manager->checkForUpdates(false, false);
        ASSERT_TRUE(waitFor(Kind::Error));
        EXPECT_EQ(manager->state().message, c.message);
    }

    // A check after a stalled one runs; notes within the feed's bound are cut
    // to what can be shown.
    serveFeed(QStringLiteral("1.3"), 1, notes(900 * 1024));
    manager->checkForUpdates(false, false);
    ASSERT_TRUE(waitFor(Kind::Available));
    EXPECT_EQ(manager->state().info.releaseNotes, QString(64 * 1024, QLatin1Char('n')) + QChar(0x2026));

    // The archive: too large, and trickling past its deadline.
    limits.archiveBytes = 1 << 20;
    limits.archiveDeadlineMs = 2000;
    LoopbackHttpServer::Response slowArchive;
    slowArchive.body = ZipFixture::make(ZipFixture::bundle(QStringLiteral("Nimbrel.app"), "new"));
    slowArchive.trickleIntervalMs = 20;
    serveFeed(QStringLiteral("1.3"), 1);
    for (const auto& [response, message] :
         {std::pair{LoopbackHttpServer::Response{200, "application/zip", QByteArray("PK\x03\x04", 4) + QByteArray(2 << 20, 'z')},
                    QStringLiteral("The server offered 2 MB, more than the 1 MB allowed.")},
          std::pair{slowArchive, QStringLiteral("The server did not finish sending within 2 seconds.")}}) {
        server.setResponse(kArchive, response);
        manager = makeManager();
        manager->setLimits(limits);
        manager->checkForUpdates(true, false);
        ASSERT_TRUE(waitFor(Kind::Error));
        EXPECT_EQ(manager->state().message, QStringLiteral("Update download failed: ") + message);
        EXPECT_TRUE(QDir(folder.filePath(QStringLiteral("Updates"))).entryList(QDir::Files).isEmpty());
    }
}

TEST_F(UpdateManagerTest, UpdatesThatDoNotFitTheDiskAreRefused)
{
    const QString small = folder.filePath(QStringLiteral("small"));
    QDir().mkpath(small);
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    const QList<Entry> large = {{Entry::Folder, "Nimbrel.app/", {}},
                                {Entry::File, "Nimbrel.app/zeros", QByteArray(4 << 20, '\0')}};
    const struct {
        const char* name;
        QByteArray archive;
        QString reason;
    } cases[] = {
        {"download", QByteArray("PK\x03\x04", 4) + QByteArray(2 << 20, 'z'),
         QStringLiteral("There is not enough free space for the download: 2 MB needed, ")},
        {"unpacked", ZipFixture::make(large), QStringLiteral("There is not enough free space to unpack the update: 4 MB needed, ")},
    };
    serveFeed(QStringLiteral("1.3"), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.setBody(kArchive, c.archive);
        manager = makeManager();
        manager->setUpdatesFolder(small);
        manager->checkForUpdates(true, false);
        ASSERT_TRUE(waitFor(Kind::Error));
        EXPECT_TRUE(manager->state().message.startsWith(QStringLiteral("Update download failed: ") + c.reason))
            << manager->state().message.toStdString();
    }
    ::umount(QFile::encodeName(small).constData());
}

TEST_F(UpdateManagerTest, RedirectsObeyTheAddressRulesBeforeAnyConnection)
{
    // A plain-http address off this machine, for the feed and for the archive.
    const QByteArray away = "http://192.0.2.10:8080/nimbrel/app/version.json";
    LoopbackHttpServer::Response redirect;
    redirect.status = 302;
    redirect.headers = {{"Location", away}};
    const QString refused = QStringLiteral("The server redirected to an address that is not allowed: ")
        + QString::fromLatin1(away);

    ConnectHook::clear();
    server.setResponse(kFeed, redirect);
    manager->checkForUpdates(true, false);
    ASSERT_TRUE(waitFor(Kind::Error));
    EXPECT_EQ(manager->state().message, refused);

    serveFeed(QStringLiteral("1.3"), 1);
    server.setResponse(kArchive, redirect);
    manager->checkForUpdates(true, false);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return manager->state().message.startsWith(QStringLiteral("Update")); }));
    EXPECT_EQ(manager->state().message, QStringLiteral("Update download failed: ") + refused);

    const QStringList attempts = ConnectHook::attempts();
    EXPECT_FALSE(attempts.isEmpty()) << "the hook saw no connection at all";
    for (const QString& attempt : attempts)
        EXPECT_TRUE(attempt.startsWith(QStringLiteral("127.0.0.1:"))) << attempt.toStdString();

    // A host the rules refuse is named as such, and nothing is sent.
    qputenv("NIMBREL_UPDATE_HOST", "http://updates.example");
    const qsizetype asked = server.requestedPaths().size();
    manager = makeManager();
    manager->checkForUpdates(true, false);
    EXPECT_EQ(manager->state().message,
              QStringLiteral("The update server address is not allowed: http://updates.example (only https, or http on this computer)."));
    EXPECT_EQ(server.requestedPaths().size(), asked);
}

TEST_F(UpdateManagerTest, FeedTextIsPrintedWithControlCharactersEscaped)
{
    server.setBody(kFeed, QStringLiteral(R"({"version":"1.3.\u001b[2J\u0007","build":1,"downloadURL":"%1"})")
                              .arg(server.url(kArchive).toString())
                              .toUtf8());
    StdoutCapture printed;
    manager->checkForUpdates(false, false);
    ASSERT_TRUE(waitFor(Kind::Available));
    ASSERT_TRUE(printed.waitFor(QStringLiteral("Update available")));
    EXPECT_TRUE(printed.text().contains(QStringLiteral("Update available: v1.3.\\x1b[2J\\x07 (build 1)")))
        << printed.text().toStdString();
    EXPECT_FALSE(printed.text().contains(QChar(0x1b)));
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
    // Builds and folders that only look like a bundle: none is touched.
    const QString projects = folder.filePath(QStringLiteral("Projects.app"));
    TestFiles::writeFile(projects + QStringLiteral("/notes.txt"), "the user's own");
    TestFiles::writeFile(projects + QStringLiteral("/tools/build/bin/nimbrel"), ZipFixture::program());
    TestFiles::writeFile(folder.filePath(QStringLiteral("Nimbrel.app/nimbrel")), ZipFixture::program());
    const auto listing = [&] {
        QStringList all;
        QDirIterator it(folder.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            all << it.next();
        all.sort();
        return all;
    };
    const QStringList before = listing();
    for (const QString& executable : {projects + QStringLiteral("/tools/build/bin/nimbrel"),
                                      folder.filePath(QStringLiteral("Nimbrel.app/nimbrel")),
                                      folder.filePath(QStringLiteral("build/src/app/nimbrel"))}) {
        SCOPED_TRACE(executable.toStdString());
        manager->setExecutablePath(executable);
        testing::internal::CaptureStdout();
        manager->applyUpdateAndRelaunch();
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_NE(printed.find("Safety check failed: the app does not run as Nimbrel.app/bin/nimbrel: " + executable.toStdString()),
                  std::string::npos) << printed;
        EXPECT_EQ(quits, 0);
        EXPECT_EQ(manager->state(), ready);
    }
    EXPECT_EQ(listing(), before);
}

TEST_F(UpdateManagerTest, AFailedInstallIsReportedAndItsVersionNotOfferedAgain)
{
    const QDir updates(manager->updatesFolder());
    // What the installer leaves: the version it installs, why it failed, and
    // the marker a newly installed bundle removes when it runs.
    const auto leaveInstall = [&](const QByteArray& version, const QByteArray& failure, bool launching = false) {
        TestFiles::writeFile(updates.filePath(QStringLiteral("InstallPending")),
                             R"({"version":")" + version + R"(","build":1})");
        if (!failure.isEmpty())
            TestFiles::writeFile(updates.filePath(QStringLiteral("InstallFailed")), failure);
        if (launching)
            TestFiles::writeFile(updates.filePath(QStringLiteral("Launching")), {});
    };

    // The installed bundle runs: nothing to say, even when it calls itself
    // by another version than the feed did.
    for (const QByteArray& version : {QByteArray("1.2.0"), QByteArray("1.4")}) {
        leaveInstall(version, {}, true);
        manager->finishLastInstall();
        EXPECT_EQ(manager->state().kind, Kind::Idle);
        EXPECT_TRUE(updates.entryList(QDir::Files).isEmpty());
    }

    leaveInstall("1.3", "the new version did not start");
    StdoutCapture printed;
    manager->finishLastInstall();
    const QString message = QStringLiteral("The update to 1.3 could not be installed: the new version did not start");
    EXPECT_EQ(manager->state(), UpdateState::error(message));
    EXPECT_TRUE(printed.text().contains(message));
    EXPECT_TRUE(updates.entryList(QDir::Files).isEmpty());

    // The app's own checks keep the report on show and do not offer 1.3 again.
    serveFeed(QStringLiteral("1.3"), 1);
    manager->checkForUpdates(true, true);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return requestsFor(kFeed) == 1; }));
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_EQ(manager->state(), UpdateState::error(message));
    manager->checkForUpdates(false, false);
    ASSERT_TRUE(waitFor(Kind::UpToDate));

    // A newer one is offered; the next start of the old version without a
    // report still says the install did not happen.
    serveFeed(QStringLiteral("1.3.1"), 1);
    manager->checkForUpdates(false, false);
    ASSERT_TRUE(waitFor(Kind::Available));
    leaveInstall("1.3.1", {});
    manager = makeManager();
    manager->finishLastInstall();
    EXPECT_EQ(manager->state(),
              UpdateState::error(QStringLiteral("The update to 1.3.1 could not be installed: the installer did not finish")));
}

} // namespace
