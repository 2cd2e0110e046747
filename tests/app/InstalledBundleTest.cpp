// The bundle as `cmake --install` makes it, in a folder whose path has a space:
// its desktop entry and its AppStream metainfo pass the desktop's own
// validators, and the entry names this bundle's program and icon.
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Ran {
    int exitCode = -1;
    QString output;
};

Ran run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Ran ran;
    if (!process.waitForStarted(10000)) {
        ran.output = program + QStringLiteral(": ") + process.errorString();
        return ran;
    }
    process.waitForFinished(120000);
    ran.output = QString::fromUtf8(process.readAll());
    if (process.exitStatus() == QProcess::NormalExit)
        ran.exitCode = process.exitCode();
    return ran;
}

class InstalledBundle : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_root = std::make_unique<QTemporaryDir>();
        const QString bundle = QDir(s_root->path()).filePath(QStringLiteral("My Apps/Nimbrel.app"));
        s_install = run(QStringLiteral(CMAKE_COMMAND),
                        {QStringLiteral("--install"), TestEnvironment::binaryDir(), QStringLiteral("--prefix"),
                         bundle});
        s_bundle = bundle;
    }

    static void TearDownTestSuite() { s_root.reset(); }

    void SetUp() override { ASSERT_EQ(s_install.exitCode, 0) << s_install.output.toStdString(); }

    static QString installed(const QString& relative) { return QDir(s_bundle).filePath(relative); }

    static inline std::unique_ptr<QTemporaryDir> s_root;
    static inline QString s_bundle;
    static inline Ran s_install;
};

TEST_F(InstalledBundle, DesktopEntryIsValidAndStartsThisBundle)
{
    const QString entry = installed(QStringLiteral("share/applications/nimbrel.desktop"));
    const Ran validated = run(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(validated.exitCode, 0) << validated.output.toStdString();
    EXPECT_EQ(validated.output, QString());

    const QString text = QString::fromUtf8(TestFiles::readFile(entry));
    const QString program = installed(QStringLiteral("bin/nimbrel"));
    const QString icon = installed(QStringLiteral("share/icons/hicolor/scalable/apps/nimbrel.svg"));
    // The path has a space, so Exec quotes it.
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"") + program + QStringLiteral("\"\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=") + icon + QStringLiteral("\n"))) << text.toStdString();
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_TRUE(QFileInfo(icon).isFile());
    EXPECT_FALSE(text.contains(QLatin1Char('@'))) << "a placeholder was left";
}

TEST_F(InstalledBundle, MetainfoIsValidAndNamesTheDesktopEntry)
{
    const QString metainfo = installed(QStringLiteral("share/metainfo/com.tarvell.nimbrel.metainfo.xml"));
    const Ran validated = run(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                               QStringLiteral("--no-color"), metainfo});
    EXPECT_EQ(validated.exitCode, 0) << validated.output.toStdString();
    // The whole tree: the metainfo's launchable is the installed entry.
    const Ran tree = run(QStringLiteral("appstreamcli"), {QStringLiteral("validate-tree"), QStringLiteral("--no-net"),
                                                          QStringLiteral("--no-color"), s_bundle});
    EXPECT_EQ(tree.exitCode, 0) << tree.output.toStdString();
}

} // namespace
