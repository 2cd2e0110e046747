#include "platform/proc/ProcProcessList.h"
#include "support/NamedProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

#include <unistd.h>

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
