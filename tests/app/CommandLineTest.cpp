// --help and --version of the real executable: they answer and exit at once,
// in a home of their own that must stay empty, beside a running instance that
// must not hear of them.
#include "models/AppVersion.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Answered {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("home")));
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("runtime")));
        QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString homeDir() const { return QDir(m_root.path()).filePath(QStringLiteral("home")); }
    QString runtimeDir() const { return QDir(m_root.path()).filePath(QStringLiteral("runtime")); }

    // A fresh user: HOME and the XDG folders point into an empty folder. The
    // platform is one the app would start on, so a start would not end.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QDir home(homeDir());
        env.insert(QStringLiteral("HOME"), homeDir());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral(".cache")));
        env.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral(".local/state")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    Answered run(const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(NIMBREL_EXECUTABLE), arguments);
        Answered answered;
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(5000);
            return answered;
        }
        answered.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        answered.out = process.readAllStandardOutput();
        answered.err = process.readAllStandardError();
        return answered;
    }

    static QStringList entriesBelow(const QString& folder)
    {
        QStringList found;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(it.next());
        return found;
    }

    QTemporaryDir m_root;
};

struct Request {
    const char* name;
    QStringList arguments;
    bool help; // else the version
};

class InformationRequest : public CommandLine, public ::testing::WithParamInterface<Request> {};

TEST_P(InformationRequest, AnswersAndExitsWithoutWritingAnything)
{
    const Request& request = GetParam();
    const Answered answered = run(request.arguments);
    ASSERT_EQ(answered.exitCode, 0) << answered.err.toStdString();
    EXPECT_EQ(answered.err, QByteArray());
    if (request.help) {
        EXPECT_TRUE(answered.out.startsWith("Usage: nimbrel [options]\n")) << answered.out.toStdString();
        for (const char* option : {"--help", "--version", "--minimized", "--login"})
            EXPECT_TRUE(answered.out.contains(option)) << option;
    } else {
        EXPECT_EQ(answered.out, QStringLiteral("Nimbrel %1 (Build %2)\n")
                                    .arg(AppVersion::currentVersion(), AppVersion::currentBuild())
                                    .toUtf8());
    }
    // No settings, autostart entry, library or instance socket.
    EXPECT_EQ(entriesBelow(homeDir()), QStringList());
    EXPECT_EQ(entriesBelow(runtimeDir()), QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, InformationRequest,
    ::testing::Values(Request{"Help", {QStringLiteral("--help")}, true},
                      Request{"ShortHelp", {QStringLiteral("-h")}, true},
                      Request{"HelpAtALoginStart", {QStringLiteral("--login"), QStringLiteral("--help")}, true},
                      Request{"Version", {QStringLiteral("--version")}, false},
                      Request{"ShortVersion", {QStringLiteral("-v")}, false},
                      Request{"VersionWhenMinimized", {QStringLiteral("-minimized"), QStringLiteral("--version")},
                              false},
                      // Qt's own options are no error.
                      Request{"VersionAfterQtOptions",
                              {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")},
                              false}),
    [](const ::testing::TestParamInfo<Request>& row) { return row.param.name; });

TEST_F(CommandLine, ARunningInstanceIsNotAsked)
{
    QProcess running;
    running.setProcessEnvironment(environment());
    running.setProcessChannelMode(QProcess::MergedChannels);
    running.start(QStringLiteral(SINGLE_INSTANCE_PROBE), {runtimeDir()});
    QByteArray seen;
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return (seen += running.readAll()).contains("primary"); }, 10000));

    EXPECT_EQ(run({QStringLiteral("--version")}).exitCode, 0);
    EXPECT_EQ(run({QStringLiteral("--help")}).exitCode, 0);
    // A later start that did reach the instance is heard within this time.
    TestEnvironment::waitUntil([&] { return (seen += running.readAll()).contains("show"); }, 1000);
    EXPECT_FALSE(seen.contains("show"));

    running.kill();
    running.waitForFinished(5000);
}

} // namespace
