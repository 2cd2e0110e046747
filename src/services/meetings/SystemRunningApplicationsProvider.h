#pragma once

#include "platform/proc/ProcProcessCache.h"
#include "services/meetings/RunningApplicationsProvider.h"

// The processes in /proc, by process id, each identified through the identity
// table. Processes seen by an earlier scan are not read again.
class SystemRunningApplicationsProvider : public RunningApplicationsProvider {
public:
    QList<RunningApplication> runningApplications() override;

private:
    ProcProcessCache m_processes;
};
