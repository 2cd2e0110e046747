#pragma once

#include "platform/proc/ProcProcess.h"

#include <QList>

#include <optional>

// The running processes, read from /proc. Kernel threads are left out.
namespace ProcProcessList {

// Every process, by ascending process id.
QList<ProcProcess> all();
// One process, or nothing when it is gone or a kernel thread.
std::optional<ProcProcess> read(qint64 pid);

} // namespace ProcProcessList
