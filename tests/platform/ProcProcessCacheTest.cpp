#include "platform/proc/ProcProcessCache.h"
#include "platform/proc/ProcProcessList.h"
#include "support/NamedProcess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A cache over the real /proc that counts how often it reads each process.
class CountingCache {
public:
    CountingCache()
        : m_cache([this](qint64 pid) {
            m_reads[pid] += 1;
            return ProcProcessList::read(pid);
        })
    {
    }

    // The program name the scan gives `pid`, empty when it is not listed.
    QString scan(qint64 pid)
    {
        const QList<ProcProcess> processes = m_cache.processes();
        EXPECT_TRUE(std::is_sorted(processes.cbegin(), processes.cend(),
                                   [](const ProcProcess& a, const ProcProcess& b) { return a.pid < b.pid; }));
        const auto found = std::find_if(processes.cbegin(), processes.cend(),
                                        [&](const ProcProcess& process) { return process.pid == pid; });
        return found == processes.cend() ? QString() : found->executable;
    }
    int reads(qint64 pid) const { return m_reads.value(pid); }

private:
    QHash<qint64, int> m_reads;
    ProcProcessCache m_cache;
};

} // namespace

TEST(ProcProcessCache, ReadsAProcessWhenItStartsAndWhenItExecsOnly)
{
    QTemporaryDir dir;
    CountingCache cache;
    NamedProcess zoom(dir, QStringLiteral("zoom"), NamedProcess::Start::OnExec);

    EXPECT_NE(cache.scan(zoom.pid()), QStringLiteral("zoom")); // still the shell
    EXPECT_FALSE(cache.scan(zoom.pid()).isEmpty());
    EXPECT_EQ(cache.reads(zoom.pid()), 1);

    zoom.exec();
    EXPECT_EQ(cache.scan(zoom.pid()), QStringLiteral("zoom"));
    EXPECT_EQ(cache.scan(zoom.pid()), QStringLiteral("zoom"));
    EXPECT_EQ(cache.reads(zoom.pid()), 2);
}

TEST(ProcProcessCache, ForgetsAProcessThatEnded)
{
    QTemporaryDir dir;
    CountingCache cache;
    NamedProcess teams(dir, QStringLiteral("teams"));
    EXPECT_EQ(cache.scan(teams.pid()), QStringLiteral("teams"));

    teams.end();
    EXPECT_TRUE(cache.scan(teams.pid()).isEmpty());
    EXPECT_EQ(cache.reads(teams.pid()), 1);
}

TEST(ProcProcessCache, AProgramReplacedWhileRunningIsReadAgainUnderItsName)
{
    QTemporaryDir dir;
    CountingCache cache;
    NamedProcess slack(dir, QStringLiteral("slack"));
    EXPECT_EQ(cache.scan(slack.pid()), QStringLiteral("slack"));

    // An update replaces the file: the link gains " (deleted)", the name stays.
    ASSERT_TRUE(QFile::remove(slack.path()));
    EXPECT_EQ(cache.scan(slack.pid()), QStringLiteral("slack"));
    EXPECT_EQ(cache.reads(slack.pid()), 2);
}
