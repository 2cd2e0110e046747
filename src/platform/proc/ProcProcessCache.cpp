#include "platform/proc/ProcProcessCache.h"

#include "platform/proc/ProcProcessList.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <vector>

#include <cerrno>
#include <cstdio>

#include <dirent.h>
#include <unistd.h>

namespace {

// The numeric entries of /proc, without looking inside them.
std::vector<qint64> listPids(DIR* proc)
{
    std::vector<qint64> pids;
    ::rewinddir(proc);
    while (const dirent* entry = ::readdir(proc)) {
        const char* name = entry->d_name;
        if (!std::isdigit(static_cast<unsigned char>(*name)))
            continue;
        qint64 pid = 0;
        for (; std::isdigit(static_cast<unsigned char>(*name)); ++name)
            pid = pid * 10 + (*name - '0');
        if (*name == '\0' && pid > 0)
            pids.push_back(pid);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

// The raw target of /proc/<pid>/exe: it changes when the process execs
// another program. Empty for processes of other users, whose link cannot be
// read; nothing at all for kernel threads and zombies, which have none.
std::optional<QByteArray> programLink(int procFd, qint64 pid)
{
    char path[32];
    std::snprintf(path, sizeof path, "%lld/exe", static_cast<long long>(pid));
    char buffer[4096];
    const ssize_t length = ::readlinkat(procFd, path, buffer, sizeof buffer);
    if (length > 0)
        return QByteArray(buffer, qsizetype(length));
    if (errno == ENOENT)
        return std::nullopt;
    return QByteArray();
}

} // namespace

ProcProcessCache::ProcProcessCache(Reader reader)
    : m_read(reader ? std::move(reader) : Reader(&ProcProcessList::read))
{
}

ProcProcessCache::~ProcProcessCache()
{
    if (m_proc)
        ::closedir(static_cast<DIR*>(m_proc));
}

QList<ProcProcess> ProcProcessCache::processes()
{
    if (!m_proc)
        m_proc = ::opendir("/proc");
    DIR* proc = static_cast<DIR*>(m_proc);
    if (!proc)
        return {};
    const int procFd = ::dirfd(proc);
    const std::vector<qint64> pids = listPids(proc);
    QHash<qint64, Entry> current;
    current.reserve(qsizetype(pids.size()));
    QList<ProcProcess> result;
    result.reserve(qsizetype(pids.size()));
    for (const qint64 pid : pids) {
        auto known = m_entries.find(pid);
        // Kernel threads (most ids on a desktop) never exec: their missing
        // link is not asked for again while their id stays listed.
        if (known == m_entries.end() || !known->linkless) {
            const std::optional<QByteArray> link = programLink(procFd, pid);
            const QByteArray program = link.value_or(QByteArray());
            // A process that hides its link keeps what was read of it: its program
            // cannot be told apart, and a reused id would have left the listing first.
            if (known == m_entries.end() || known->program != program) {
                std::optional<ProcProcess> process = m_read(pid);
                const bool linkless = !link && !process;
                known = m_entries.insert(pid, Entry{program, linkless, std::move(process)});
            }
        }
        if (known->process)
            result.append(*known->process);
        current.insert(pid, std::move(*known));
    }
    m_entries = std::move(current); // the processes gone since are forgotten
    return result;
}
