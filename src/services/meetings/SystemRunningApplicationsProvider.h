#pragma once

#include "services/meetings/RunningApplicationsProvider.h"

// The processes in /proc, by process id, each identified through the identity table.
class SystemRunningApplicationsProvider : public RunningApplicationsProvider {
public:
    QList<RunningApplication> runningApplications() override;
};
