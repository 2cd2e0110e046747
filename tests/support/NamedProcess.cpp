#include "support/NamedProcess.h"

#include "support/TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

NamedProcess::NamedProcess(const QTemporaryDir& dir, const QString& name, Start start)
    : m_path(dir.filePath(name))
{
    QFile::copy(QStringLiteral("/bin/sleep"), m_path);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    if (start == Start::Now)
        m_process.start(m_path, {QStringLiteral("60")});
    else // the shell waits for a line, then execs the program ("$0")
        m_process.start(QStringLiteral("/bin/sh"),
                        {QStringLiteral("-c"), QStringLiteral("read line; exec \"$0\" 60"), m_path});
    EXPECT_TRUE(m_process.waitForStarted()) << m_process.errorString().toStdString();
    m_pid = m_process.processId();
    if (start == Start::Now) {
        // Started means exec has begun; the process shows its new program a moment later.
        EXPECT_TRUE(waitUntilRunningTheProgram());
    }
}

NamedProcess::~NamedProcess()
{
    end();
}

void NamedProcess::exec()
{
    m_process.write("go\n");
    EXPECT_TRUE(waitUntilRunningTheProgram());
}

void NamedProcess::end()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

bool NamedProcess::waitUntilRunningTheProgram()
{
    return TestEnvironment::waitUntil(
        [&] { return QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(m_pid)) == m_path; });
}
