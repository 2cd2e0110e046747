#pragma once

#include "platform/proc/ProcProcess.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The running processes, kept between scans: each scan lists the process ids
// and reads a process again only when it is new or its program changed (an
// exec), so a scan of an unchanged machine costs a directory listing and one
// link read per process.
class ProcProcessCache {
public:
    using Reader = std::function<std::optional<ProcProcess>(qint64 pid)>;

    // `reader` reads one process in full; tests count its calls.
    explicit ProcProcessCache(Reader reader = {});

    // Every process, by ascending process id. Kernel threads are left out.
    QList<ProcProcess> processes();

private:
    struct Entry {
        QString program; // the exe link as last read; empty where it cannot be read
        std::optional<ProcProcess> process; // nothing for kernel threads and zombies
    };

    Reader m_read;
    QHash<qint64, Entry> m_entries;
};
