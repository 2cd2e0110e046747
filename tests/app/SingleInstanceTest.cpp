// One running instance per user, checked with real processes: the guard's
// probe program and the app itself.

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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

    QProcess& startProbe(const QStringList& extraArguments = {})
    {
        return start(QStringLiteral(SINGLE_INSTANCE_PROBE), QStringList{m_runtime.path()} + extraArguments);
    }

    QProcess& start(const QString& program, const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(program, arguments);
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    // Collects the process's output until it holds `text`.
    bool waitForOutput(QProcess& process, const QByteArray& text, int timeoutMs = 10000)
    {
        QByteArray& seen = m_output[&process];
        return TestEnvironment::waitUntil(
            [&] {
                seen += process.readAll();
                return seen.contains(text);
            },
            timeoutMs);
    }

    QTemporaryDir m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::map<QProcess*, QByteArray> m_output;
};

TEST_F(SingleInstance, SecondStartBringsTheFirstForwardAndExits)
{
    QProcess& first = startProbe();
    ASSERT_TRUE(waitForOutput(first, "primary"));

    QProcess& second = startProbe({QStringLiteral("--minimized")});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAll().contains("notified"));
    EXPECT_TRUE(waitForOutput(first, "show"));
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SingleInstance, TwoStartsAtOnceLeaveOneInstance)
{
    QProcess& a = startProbe();
    QProcess& b = startProbe();
    QProcess* exited = nullptr;
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] {
            if (a.state() == QProcess::NotRunning)
                exited = &a;
            if (b.state() == QProcess::NotRunning)
                exited = &b;
            return exited != nullptr;
        },
        10000));
    QProcess& running = exited == &a ? b : a;
    EXPECT_EQ(exited->exitCode(), 0);
    EXPECT_TRUE(waitForOutput(running, "show"));
}

TEST_F(SingleInstance, WhatADeadInstanceLeftIsTakenOver)
{
    QProcess& crashed = startProbe();
    ASSERT_TRUE(waitForOutput(crashed, "primary"));
    ::kill(static_cast<pid_t>(crashed.processId()), SIGKILL);
    ASSERT_TRUE(crashed.waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(QDir(m_runtime.path()).filePath(QStringLiteral("nimbrel.socket"))));

    QProcess& next = startProbe();
    EXPECT_TRUE(waitForOutput(next, "primary"));
    QProcess& later = startProbe();
    ASSERT_TRUE(later.waitForFinished(10000));
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_TRUE(waitForOutput(next, "show"));
}

TEST_F(SingleInstance, TheAppItselfRunsOnceAndQuitsCleanlyWhenAsked)
{
    QProcess& first = start(QStringLiteral(NIMBREL_EXECUTABLE), {QStringLiteral("-minimized")});
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] { return QFile::exists(QDir(m_runtime.path()).filePath(QStringLiteral("nimbrel.socket"))); }, 10000));

    QProcess& second = start(QStringLiteral(NIMBREL_EXECUTABLE), {QStringLiteral("--minimized")});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(waitForOutput(first, "asked to show the main window"));
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate(); // SIGTERM, as at logout
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
}

} // namespace
