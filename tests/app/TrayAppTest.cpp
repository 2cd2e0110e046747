// The real app on the test X server: closing its window with the window
// manager (Alt+F4), with a tray host and without one, and the ways back to
// a hidden window and out of the app.
#include "TrayHost.h"

#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using TestEnvironment::waitUntil;

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

class TrayApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb")) << "runs on the test X server";
        ASSERT_TRUE(m_home.isValid());
        QDir().mkpath(runtimeDir());
        QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override
    {
        for (auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    QString runtimeDir() const { return m_home.filePath(QStringLiteral("runtime")); }
    QString configDir() const { return m_home.filePath(QStringLiteral("config")); }

    void storeSetting(const QString& key, const QString& value)
    {
        TestFiles::writeFile(configDir() + QStringLiteral("/Nimbrel/Nimbrel.ini"),
                             QStringLiteral("[General]\n%1=%2\n").arg(key, value).toUtf8());
    }

    QProcess& startApp(const QStringList& arguments = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        environment.insert(QStringLiteral("NIMBREL_NO_ANIMATIONS"), QStringLiteral("1"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QStringLiteral(NIMBREL_EXECUTABLE), arguments);
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    // The app's main window while it is mapped.
    static std::optional<QString> visibleWindow()
    {
        const QString found = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                               QStringLiteral("--name"), QStringLiteral("^Nimbrel$")});
        if (found.isEmpty())
            return std::nullopt;
        return found.split(QLatin1Char('\n')).first();
    }

    static bool isIconic(const QString& window)
    {
        return run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_STATE")})
            .contains(QStringLiteral("Iconic"));
    }

    // As the user does: the window in front, then the window manager's close key.
    static void pressOn(const QString& window, const QString& keys)
    {
        run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    }

    static bool stillRunningAfter(QProcess& process, int ms)
    {
        return !waitUntil([&] { return process.state() == QProcess::NotRunning; }, ms);
    }

    QTemporaryDir m_home;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(TrayApp, ClosingKeepsItInTheTrayUntilQuit)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isReady());
    QProcess& app = startApp();
    std::optional<QString> window;
    ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow()).has_value(); }, 20000));

    // The login item was written on the way.
    const QString entry = QString::fromUtf8(TestFiles::readFile(configDir() + QStringLiteral("/autostart/nimbrel.desktop")));
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=") + QStringLiteral(NIMBREL_EXECUTABLE) + QStringLiteral(" --login")))
        << qPrintable(entry);

    pressOn(*window, QStringLiteral("alt+F4"));
    ASSERT_TRUE(waitUntil([&] { return !visibleWindow(); }, 5000));
    EXPECT_TRUE(stillRunningAfter(app, 1000));

    // Starting it again brings the window back.
    QProcess& again = startApp();
    ASSERT_TRUE(again.waitForFinished(10000));
    EXPECT_EQ(again.exitCode(), 0);
    ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow()).has_value(); }, 5000));

    pressOn(*window, QStringLiteral("ctrl+q"));
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);
}

TEST_F(TrayApp, WithTheSettingOffClosingQuits)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isReady());
    storeSetting(QStringLiteral("nimbrel_keepInMenuBarOnClose"), QStringLiteral("false"));
    QProcess& app = startApp();
    std::optional<QString> window;
    ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow()).has_value(); }, 20000));
    pressOn(*window, QStringLiteral("alt+F4"));
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);
}

TEST_F(TrayApp, WithoutATrayClosingMinimises)
{
    ASSERT_TRUE(TrayHost::waitUntilNoTray());
    QProcess& app = startApp();
    std::optional<QString> window;
    ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow()).has_value(); }, 20000));
    pressOn(*window, QStringLiteral("alt+F4"));
    EXPECT_TRUE(waitUntil([&] { return isIconic(*window); }, 5000));
    EXPECT_TRUE(stillRunningAfter(app, 500));
}

TEST_F(TrayApp, AMinimisedStartWithoutATrayStartsIconic)
{
    ASSERT_TRUE(TrayHost::waitUntilNoTray());
    QProcess& app = startApp({QStringLiteral("--minimized")});
    std::optional<QString> window;
    ASSERT_TRUE(waitUntil(
        [&] {
            const QString found = run(QStringLiteral("xdotool"),
                                      {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^Nimbrel$")});
            for (const QString& id : found.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                if (isIconic(id))
                    return true;
            }
            return false;
        },
        20000));
    EXPECT_EQ(app.state(), QProcess::Running);
}

TEST_F(TrayApp, AMinimisedStartWithATrayShowsNoWindow)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isReady());
    QProcess& app = startApp({QStringLiteral("--minimized")});
    // Running and listening for a second start, with nothing on screen.
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(runtimeDir() + QStringLiteral("/nimbrel.socket")); }, 20000));
    EXPECT_TRUE(stillRunningAfter(app, 1500));
    EXPECT_FALSE(visibleWindow());
}

} // namespace
