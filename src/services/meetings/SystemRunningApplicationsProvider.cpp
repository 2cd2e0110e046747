#include "services/meetings/SystemRunningApplicationsProvider.h"

#include "platform/proc/AppIdentityTable.h"
#include "platform/proc/ProcProcessList.h"

QList<RunningApplication> SystemRunningApplicationsProvider::runningApplications()
{
    QList<RunningApplication> applications;
    for (const ProcProcess& process : ProcProcessList::all()) {
        AppIdentityTable::Hints hints;
        hints.appId = process.flatpakId;
        hints.executable = process.executable;
        applications.append(RunningApplication{AppIdentityTable::resolve(hints).bundleID});
    }
    return applications;
}
