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
    void SetUp() override { marker = QDir(dir.path()).filePath(QStringLiteral("started")); }

    void makeBundle(const QString& bundle, const QByteArray& name, qint64 padding = 0)
    {
        QDir().mkpath(bundle + QStringLiteral("/bin"));
        const QString executable = bundle + QStringLiteral("/bin/nimbrel");
        TestFiles::writeFile(executable, "#!/bin/sh\nprintf '%s' '" + name + "' > '" + marker.toUtf8() + "'\n");
        QFile::setPermissions(executable, QFile::permissions(executable) | QFile::ExeOwner);
        if (padding > 0)
            TestFiles::writeFile(bundle + QStringLiteral("/payload"), QByteArray(padding, 'x'));
    }

    void runScript(const QString& installed, const QString& staged)
    {
        QProcess app; // stands in for the running app, which the script waits for
        app.start(QStringLiteral("sleep"), {QStringLiteral("0.3")});
        ASSERT_TRUE(app.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        QProcess script;
        script.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), UpdateInstaller::relaunchScript(),
                                                 QStringLiteral("--"), installed, staged,
                                                 QString::number(app.processId())});
        ASSERT_TRUE(script.waitForFinished(20000));
        EXPECT_GE(clock.elapsed(), 250) << "the script did not wait for the app to end";
        app.waitForFinished();
    }

    QString started() const { return QString::fromUtf8(TestFiles::readFile(marker)); }

    QStringList leftovers(const QString& folder) const
    {
        return QDir(folder).entryList({QStringLiteral("*.new.*"), QStringLiteral("*.old.*")},
                                      QDir::AllEntries | QDir::Hidden);
    }

    QTemporaryDir dir;
    QString marker;
};

TEST_F(RelaunchScriptTest, SwapsTheBundlesAndStartsTheNewOne)
{
    const QString installed = QDir(dir.path()).filePath(QStringLiteral("apps/Nimbrel.app"));
    const QString staged = QDir(dir.path()).filePath(QStringLiteral("Staging/Nimbrel.app"));
    makeBundle(installed, "old");
    makeBundle(staged, "new");
    runScript(installed, staged);
    EXPECT_EQ(started(), QStringLiteral("new"));
    EXPECT_TRUE(TestFiles::readFile(installed + QStringLiteral("/bin/nimbrel")).contains("'new'"));
    EXPECT_TRUE(leftovers(QDir(dir.path()).filePath(QStringLiteral("apps"))).isEmpty());
}

TEST_F(RelaunchScriptTest, AFailedCopyKeepsAndRestartsTheOldBundle)
{
    const QString staged = QDir(dir.path()).filePath(QStringLiteral("Staging/Nimbrel.app"));
    makeBundle(staged, "new", 4 * 1024 * 1024);

    // A missing staged bundle, then a disk too small for the new copy.
    const QString plain = QDir(dir.path()).filePath(QStringLiteral("apps/Nimbrel.app"));
    makeBundle(plain, "old");
    runScript(plain, staged + QStringLiteral("-missing"));
    EXPECT_EQ(started(), QStringLiteral("old"));
    EXPECT_TRUE(leftovers(QDir(dir.path()).filePath(QStringLiteral("apps"))).isEmpty());

    const QString small = QDir(dir.path()).filePath(QStringLiteral("small"));
    QDir().mkpath(small);
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    const QString installed = small + QStringLiteral("/Nimbrel.app");
    makeBundle(installed, "old");
    QFile::remove(marker);
    runScript(installed, staged);
    EXPECT_EQ(started(), QStringLiteral("old"));
    EXPECT_TRUE(TestFiles::readFile(installed + QStringLiteral("/bin/nimbrel")).contains("'old'"));
    EXPECT_TRUE(leftovers(small).isEmpty());
    ::umount(QFile::encodeName(small).constData());
}

} // namespace
