#pragma once

#include "services/meetings/RunningApplication.h"

#include <QList>

// The running applications, in the platform's order.
class RunningApplicationsProvider {
public:
    virtual ~RunningApplicationsProvider() = default;
    virtual QList<RunningApplication> runningApplications() = 0;
};
