#pragma once

#include <QString>

// One running application as the meeting rules see it.
struct RunningApplication {
    QString bundleID; // empty when the application has none
};
