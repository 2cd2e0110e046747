#include "services/updates/UpdateInstaller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include "support/TestFiles.h"

namespace {

// Two bundles in a temporary folder and the relaunch script run over them the
// way the app starts it, with a short-lived process standing in for the app.
class RelaunchScriptTest : public ::testing::Test {
protected:
    enum class Start { runs, fails };

    void SetUp() override
    {
        marker = QDir(dir.path()).filePath(QStringLiteral("started"));
        state = QDir(dir.path()).filePath(QStringLiteral("state"));
        QDir().mkpath(state);
    }

    // A bundle whose program writes `name` to the marker and, as a running
    // app does, removes the installer's launch marker; or one that ends at once.
    void makeBundle(const QString& bundle, const QByteArray& name, Start start = Start::runs, qint64 padding = 0)
    {
        QDir().mkpath(bundle + QStringLiteral("/bin"));
        const QString executable = bundle + QStringLiteral("/bin/nimbrel");
        TestFiles::writeFile(executable, start == Start::fails
                                             ? QByteArray("#!/bin/sh\nexit 1\n")
                                             : "#!/bin/sh\nprintf '%s' '" + name + "' > '" + marker.toUtf8()
                                                   + "'\nrm -f '" + state.toUtf8() + "/Launching'\n");
        QFile::setPermissions(executable, QFile::permissions(executable) | QFile::ExeOwner);
        if (padding > 0)
            TestFiles::writeFile(bundle + QStringLiteral("/payload"), QByteArray(padding, 'x'));
    }

    void runScript(const QString& installed, const QString& staged)
    {
        QFile::remove(marker);
        QProcess app; // stands in for the running app, which the script waits for
        app.start(QStringLiteral("sleep"), {QStringLiteral("0.3")});
        ASSERT_TRUE(app.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        QProcess script;
        script.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), UpdateInstaller::relaunchScript(),
                                                 QStringLiteral("--"), installed, staged,
                                                 QString::number(app.processId()), state});
        ASSERT_TRUE(script.waitForFinished(20000));
        EXPECT_GE(clock.elapsed(), 250) << "the script did not wait for the app to end";
        app.waitForFinished();
    }

    QString started() const { return QString::fromUtf8(TestFiles::readFile(marker)); }
    QString report() const { return QString::fromUtf8(TestFiles::readFile(state + QStringLiteral("/InstallFailed"))); }
    QByteArray installedProgram(const QString& bundle) const
    {
        return TestFiles::readFile(bundle + QStringLiteral("/bin/nimbrel"));
    }

    // Whatever the outcome: no copies beside the bundle, no launch marker.
    void expectNothingLeftOver(const QString& folder) const
    {
        EXPECT_TRUE(QDir(folder)
                        .entryList({QStringLiteral("*.new.*"), QStringLiteral("*.old.*"), QStringLiteral("*.failed.*")},
                                   QDir::AllEntries | QDir::Hidden)
                        .isEmpty());
        EXPECT_FALSE(QFile::exists(state + QStringLiteral("/Launching")));
    }

    QTemporaryDir dir;
    QString marker;
    QString state;
};

TEST_F(RelaunchScriptTest, SwapsTheBundlesAndStartsTheNewOne)
{
    const QString apps = QDir(dir.path()).filePath(QStringLiteral("apps"));
    const QString installed = apps + QStringLiteral("/Nimbrel.app");
    const QString staged = QDir(dir.path()).filePath(QStringLiteral("Staging/Nimbrel.app"));
    makeBundle(installed, "old");
    makeBundle(staged, "new");
    runScript(installed, staged);
    EXPECT_EQ(started(), QStringLiteral("new"));
    EXPECT_TRUE(installedProgram(installed).contains("'new'"));
    EXPECT_EQ(report(), QString());
    expectNothingLeftOver(apps);
}

TEST_F(RelaunchScriptTest, ANewBundleThatDoesNotStartIsReplacedByTheOldOne)
{
    const QString apps = QDir(dir.path()).filePath(QStringLiteral("apps"));
    const QString installed = apps + QStringLiteral("/Nimbrel.app");
    const QString staged = QDir(dir.path()).filePath(QStringLiteral("Staging/Nimbrel.app"));
    const struct {
        const char* name;
        std::function<void()> spoil;
        QString reason;
    } cases[] = {
        {"ends at once", [&] { makeBundle(staged, "new", Start::fails); }, QStringLiteral("the new version did not start")},
        {"not executable",
         [&] { QFile::setPermissions(staged + QStringLiteral("/bin/nimbrel"), QFile::ReadOwner | QFile::WriteOwner); },
         QStringLiteral("the copy of the new version has no program to start")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(state);
        makeBundle(installed, "old");
        makeBundle(staged, "new");
        c.spoil();
        runScript(installed, staged);
        EXPECT_EQ(started(), QStringLiteral("old"));
        EXPECT_TRUE(installedProgram(installed).contains("'old'"));
        EXPECT_EQ(report(), c.reason);
        expectNothingLeftOver(apps);
    }
}

TEST_F(RelaunchScriptTest, AFailedCopyKeepsAndRestartsTheOldBundle)
{
    const QString staged = QDir(dir.path()).filePath(QStringLiteral("Staging/Nimbrel.app"));
    makeBundle(staged, "new", Start::runs, 4 * 1024 * 1024);

    // A missing staged bundle, then a disk too small for the new copy, then a
    // bundle folder that cannot be written at all.
    const QString plain = QDir(dir.path()).filePath(QStringLiteral("apps/Nimbrel.app"));
    makeBundle(plain, "old");
    runScript(plain, staged + QStringLiteral("-missing"));
    EXPECT_EQ(started(), QStringLiteral("old"));
    EXPECT_TRUE(report().startsWith(QStringLiteral("the new version could not be copied: "))) << report().toStdString();
    expectNothingLeftOver(QDir(dir.path()).filePath(QStringLiteral("apps")));

    const QString small = QDir(dir.path()).filePath(QStringLiteral("small"));
    QDir().mkpath(small);
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    const QString installed = small + QStringLiteral("/Nimbrel.app");
    makeBundle(installed, "old");
    runScript(installed, staged);
    EXPECT_EQ(started(), QStringLiteral("old"));
    EXPECT_TRUE(installedProgram(installed).contains("'old'"));
    EXPECT_TRUE(report().startsWith(QStringLiteral("the new version could not be copied: "))) << report().toStdString();
    expectNothingLeftOver(small);

    ASSERT_EQ(::mount(nullptr, QFile::encodeName(small).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    QFile::remove(state + QStringLiteral("/InstallFailed"));
    runScript(installed, staged);
    EXPECT_EQ(started(), QStringLiteral("old"));
    EXPECT_TRUE(report().startsWith(QStringLiteral("the new version could not be copied: "))) << report().toStdString();
    EXPECT_TRUE(report().contains(QStringLiteral("Read-only file system"))) << report().toStdString();
    ::umount(QFile::encodeName(small).constData());
}

} // namespace
