#include "platform/proc/ProcProcessCache.h"

#include "platform/proc/ProcProcessList.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <vector>

#include <dirent.h>
#include <unistd.h>

namespace {

// The numeric entries of /proc, without looking inside them.
std::vector<qint64> listPids()
{
    std::vector<qint64> pids;
    DIR* dir = ::opendir("/proc");
    if (!dir)
        return pids;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (!std::isdigit(static_cast<unsigned char>(*name)))
            continue;
        qint64 pid = 0;
        for (; std::isdigit(static_cast<unsigned char>(*name)); ++name)
            pid = pid * 10 + (*name - '0');
        if (*name == '\0' && pid > 0)
            pids.push_back(pid);
    }
    ::closedir(dir);
    std::sort(pids.begin(), pids.end());
    return pids;
}

// The raw target of /proc/<pid>/exe: it changes when the process execs
// another program. Empty for kernel threads, zombies and processes of other
// users, whose link cannot be read.
QString programLink(qint64 pid)
{
    char path[48];
    std::snprintf(path, sizeof path, "/proc/%lld/exe", static_cast<long long>(pid));
    char buffer[4096];
    const ssize_t length = ::readlink(path, buffer, sizeof buffer);
    return length > 0 ? QString::fromLocal8Bit(buffer, qsizetype(length)) : QString();
}

} // namespace

ProcProcessCache::ProcProcessCache(Reader reader)
    : m_read(reader ? std::move(reader) : Reader(&ProcProcessList::read))
{
}

QList<ProcProcess> ProcProcessCache::processes()
{
    const std::vector<qint64> pids = listPids();
    QHash<qint64, Entry> current;
    current.reserve(qsizetype(pids.size()));
    QList<ProcProcess> result;
    result.reserve(qsizetype(pids.size()));
    for (const qint64 pid : pids) {
        const QString program = programLink(pid);
        auto known = m_entries.find(pid);
        // A process that hides its link keeps what was read of it: its program
        // cannot be told apart, and a reused id would have left the listing first.
        if (known == m_entries.end() || known->program != program)
            known = m_entries.insert(pid, Entry{program, m_read(pid)});
        if (known->process)
            result.append(*known->process);
        current.insert(pid, std::move(*known));
    }
    m_entries = std::move(current); // the processes gone since are forgotten
    return result;
}
