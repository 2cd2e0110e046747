#include "services/meetings/SystemRunningApplicationsProvider.h"

#include "platform/proc/AppIdentityTable.h"

QList<RunningApplication> SystemRunningApplicationsProvider::runningApplications()
{
    QList<RunningApplication> applications;
    for (const ProcProcess& process : m_processes.processes()) {
        AppIdentityTable::Hints hints;
        hints.appId = process.flatpakId;
        hints.executable = process.executable;
        applications.append(RunningApplication{AppIdentityTable::resolve(hints).bundleID});
    }
    return applications;
}
