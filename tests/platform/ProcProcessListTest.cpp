#include "platform/proc/ProcProcessList.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

#include <unistd.h>

namespace {

// A copy of sleep under another name, running until the test ends.
class NamedProcess {
public:
    NamedProcess(const QTemporaryDir& dir, const QString& name)
        : m_path(dir.filePath(name))
    {
        QFile::copy(QStringLiteral("/bin/sleep"), m_path);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
        m_process.start(m_path, {QStringLiteral("60")});
        EXPECT_TRUE(m_process.waitForStarted()) << m_process.errorString().toStdString();
        // Started means exec has begun; the process shows its new program a moment later.
        EXPECT_TRUE(TestEnvironment::waitUntil(
            [&] { return QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid())) == m_path; }));
    }
    ~NamedProcess()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    qint64 pid() const { return m_process.processId(); }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    QProcess m_process;
};

} // namespace

TEST(ProcProcessList, ListsProcessesByIdWithTheirProgramNames)
{
    QTemporaryDir dir;
    NamedProcess zoom(dir, QStringLiteral("zoom"));
    ASSERT_GT(zoom.pid(), 0);

    const QList<ProcProcess> processes = ProcProcessList::all();
    ASSERT_FALSE(processes.isEmpty());
    for (qsizetype i = 1; i < processes.size(); ++i)
        EXPECT_LT(processes[i - 1].pid, processes[i].pid);
    const auto found = std::find_if(processes.cbegin(), processes.cend(),
                                    [&](const ProcProcess& p) { return p.pid == zoom.pid(); });
    ASSERT_NE(found, processes.cend());
    EXPECT_EQ(found->executable, QStringLiteral("zoom"));
    EXPECT_TRUE(found->flatpakId.isEmpty());

    const auto self = ProcProcessList::read(::getpid());
    ASSERT_TRUE(self);
    EXPECT_EQ(self->executable, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

TEST(ProcProcessList, ProgramReplacedWhileRunningKeepsItsName)
{
    QTemporaryDir dir;
    NamedProcess teams(dir, QStringLiteral("teams-for-linux"));
    ASSERT_TRUE(QFile::remove(teams.path()));
    const auto process = ProcProcessList::read(teams.pid());
    ASSERT_TRUE(process);
    EXPECT_EQ(process->executable, QStringLiteral("teams-for-linux"));
}

TEST(ProcProcessList, AbsentProcessReadsAsNothing)
{
    EXPECT_FALSE(ProcProcessList::read(0));
    EXPECT_FALSE(ProcProcessList::read(std::numeric_limits<int>::max())); // above any pid_max
}
