#pragma once

#include "services/meetings/DetectedMeeting.h"

#include <optional>

// What one scan found: a call, and whether a browser title showed that the
// user left a call or has not joined it yet.
struct ScanResult {
    std::optional<DetectedMeeting> meeting;
    bool hasExplicitExitSignal = false;
};
