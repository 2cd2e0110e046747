#pragma once

#include "platform/proc/ProcProcess.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The running processes, kept between scans: each scan lists the process ids
// and reads a process again only when it is new or its program changed (an
// exec), so a scan of an unchanged machine costs a directory listing and one
// link read per process that has a program.
class ProcProcessCache {
public:
    using Reader = std::function<std::optional<ProcProcess>(qint64 pid)>;

    // `reader` reads one process in full; tests count its calls.
    explicit ProcProcessCache(Reader reader = {});
    ~ProcProcessCache();
    ProcProcessCache(const ProcProcessCache&) = delete;
    ProcProcessCache& operator=(const ProcProcessCache&) = delete;

    // Every process, by ascending process id. Kernel threads are left out.
    QList<ProcProcess> processes();

private:
    struct Entry {
        QByteArray program; // the exe link as last read; empty where it cannot be read
        bool linkless = false; // a kernel thread or zombie: no link, nothing to read
        std::optional<ProcProcess> process; // nothing for kernel threads and zombies
    };

    Reader m_read;
    QHash<qint64, Entry> m_entries;
    void* m_proc = nullptr; // the open /proc directory (a DIR), listed again each scan
};
