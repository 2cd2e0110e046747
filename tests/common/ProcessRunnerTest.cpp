#include "common/Error.h"
#include "common/ProcessRunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace {

ProcessRunner::Command shell(const QString& script, const QStringList& arguments = {})
{
    ProcessRunner::Command command;
    command.program = QStringLiteral("/bin/sh");
    command.arguments = QStringList{QStringLiteral("-c"), script, QStringLiteral("sh")} + arguments;
    return command;
}

void writeScript(const QString& path, bool executable = true)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    file.setPermissions(permissions);
}

// True once the process is gone or only a zombie waiting for its new parent.
bool isGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && line.mid(close + 2, 1) == "Z";
}

} // namespace

TEST(ProcessRunner, KeepsExitStatusAndBothOutputsApart)
{
    const auto result = ProcessRunner::run(shell(QStringLiteral("printf out; printf err >&2; exit 3")));
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_FALSE(result.killedBySignal);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.standardOutput, "out");
    EXPECT_EQ(result.standardError, "err");
}

TEST(ProcessRunner, DrainsLargeOutputOnBothPipes)
{
    // Far beyond a pipe's buffer: a runner that read one pipe after the other
    // would stall here.
    const auto result = ProcessRunner::run(shell(QStringLiteral(
        "i=0; while [ $i -lt 40 ]; do head -c 50000 /dev/zero; head -c 50000 /dev/zero >&2; i=$((i+1)); done")));
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput.size(), 2000000);
    EXPECT_EQ(result.standardError.size(), 2000000);
}

TEST(ProcessRunner, PassesArgumentsLiterallyAndTheGivenEnvironment)
{
    QTemporaryDir dir;
    auto command = shell(QStringLiteral("for a in \"$@\"; do printf '[%s]' \"$a\"; done; printf '%s|%s' \"$ONLY\" \"$HOME\" >&2"),
                         {QStringLiteral("a b"), QStringLiteral("$(touch %1/x)").arg(dir.path()), QStringLiteral("*"),
                          QString(), QStringLiteral("é")});
    command.environment = QProcessEnvironment();
    command.environment.insert(QStringLiteral("ONLY"), QStringLiteral("yes"));
    const auto result = ProcessRunner::run(command);
    EXPECT_EQ(QString::fromUtf8(result.standardOutput),
              QStringLiteral("[a b][$(touch %1/x)][*][][é]").arg(dir.path()));
    EXPECT_EQ(result.standardError, "yes|");
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("x"))));
}

TEST(ProcessRunner, ChildReadsNullDeviceAndRunsInTheGivenFolder)
{
    QTemporaryDir dir;
    auto command = shell(QStringLiteral("readlink /proc/self/fd/0; pwd; cat"));
    command.workingDirectory = dir.path();
    const auto result = ProcessRunner::run(command);
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(QString::fromLocal8Bit(result.standardOutput),
              QStringLiteral("/dev/null\n%1\n").arg(QDir(dir.path()).canonicalPath()));
}

TEST(ProcessRunner, DeathBySignalIsReportedAsSuch)
{
    const auto result = ProcessRunner::run(shell(QStringLiteral("printf partial; kill -KILL $$")));
    EXPECT_TRUE(result.killedBySignal);
    EXPECT_EQ(result.exitStatus, SIGKILL);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.standardOutput, "partial");
}

TEST(ProcessRunner, CancellingKillsTheChildAndWhatItStartedWithinASecond)
{
    QTemporaryDir dir;
    const QString pidFile = QDir(dir.path()).filePath(QStringLiteral("pid"));
    // Ignores SIGTERM, so only the escalation to SIGKILL ends it; the sleep it
    // started holds the output pipe open.
    const auto command = shell(QStringLiteral("trap '' TERM; sleep 30 & echo $! > \"$1\"; wait; wait"), {pidFile});
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> cancelledAt{-1};
    auto isCancelled = [&] {
        if (clock.elapsed() < 300 || !QFile::exists(pidFile))
            return false;
        qint64 expected = -1;
        cancelledAt.compare_exchange_strong(expected, clock.elapsed());
        return true;
    };
    EXPECT_THROW(ProcessRunner::run(command, isCancelled), CancelledError);
    ASSERT_GE(cancelledAt.load(), 0);
    EXPECT_LT(clock.elapsed() - cancelledAt.load(), 1000);

    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const qint64 sleepPid = file.readAll().trimmed().toLongLong();
    ASSERT_GT(sleepPid, 0);
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return isGone(sleepPid); }, 2000));
}

TEST(ProcessRunner, ProgramsThatCannotStartThrow)
{
    for (const QString& program : {QStringLiteral("/nonexistent/tool"), QStringLiteral("sh"), QString()}) {
        ProcessRunner::Command command;
        command.program = program;
        try {
            ProcessRunner::run(command);
            ADD_FAILURE() << "started " << program.toStdString();
        } catch (const Error& error) {
            EXPECT_EQ(error.domain(), QStringLiteral("ProcessRunner")) << program.toStdString();
            EXPECT_FALSE(error.message().isEmpty());
        }
    }
}

TEST(ProcessRunner, FindsToolsInGivenFoldersThenOnPathButNeverInTheCurrentFolder)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    for (const char* folder : {"first", "second", "plain", "cwd"})
        root.mkpath(QString::fromLatin1(folder));
    writeScript(root.filePath(QStringLiteral("first/tool")));
    writeScript(root.filePath(QStringLiteral("second/tool")));
    writeScript(root.filePath(QStringLiteral("plain/tool")), false);
    writeScript(root.filePath(QStringLiteral("cwd/tool")));
    root.mkpath(QStringLiteral("dir/tool")); // a folder is not a tool

    const QString oldPath = qEnvironmentVariable("PATH");
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(root.filePath(QStringLiteral("cwd")));

    struct Case {
        QStringList folders;
        QString path;
        QString expected; // relative to the temporary folder; empty: not found
    } cases[] = {
        {{root.filePath(QStringLiteral("first"))}, root.filePath(QStringLiteral("second")), QStringLiteral("first/tool")},
        {{root.filePath(QStringLiteral("plain")), root.filePath(QStringLiteral("dir"))},
         root.filePath(QStringLiteral("second")), QStringLiteral("second/tool")},
        {{}, QStringLiteral(":.:cwd::") + root.filePath(QStringLiteral("plain")), QString()},
        {{QStringLiteral("cwd"), QString()}, QString(), QString()},
    };
    for (const Case& c : cases) {
        qputenv("PATH", c.path.toLocal8Bit());
        const QString found = ProcessRunner::findExecutable(QStringLiteral("tool"), c.folders);
        EXPECT_EQ(found, c.expected.isEmpty() ? QString() : root.filePath(c.expected)) << c.path.toStdString();
    }
    EXPECT_EQ(ProcessRunner::findExecutable(QStringLiteral("cwd/tool"), {root.path()}), QString());

    QDir::setCurrent(oldCwd);
    qputenv("PATH", oldPath.toLocal8Bit());
}

TEST(ProcessRunner, PrependsAFolderToAPathList)
{
    struct Case {
        std::optional<QString> old;
        QString expected;
    } cases[] = {
        {std::nullopt, QStringLiteral("/opt/tool")},
        {QString(), QStringLiteral("/opt/tool")},
        {QStringLiteral("/usr/lib"), QStringLiteral("/opt/tool:/usr/lib")},
        {QStringLiteral("/a:/b"), QStringLiteral("/opt/tool:/a:/b")},
    };
    for (const Case& c : cases) {
        QProcessEnvironment environment;
        if (c.old)
            environment.insert(QStringLiteral("LD_LIBRARY_PATH"), *c.old);
        ProcessRunner::prependPath(environment, QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral("/opt/tool"));
        EXPECT_EQ(environment.value(QStringLiteral("LD_LIBRARY_PATH")), c.expected);
    }
}
