#pragma once

#include "services/meetings/MeetingWindow.h"

#include <QList>

#include <optional>

// Every window of every application, off-screen ones included, in the
// platform's order.
class WindowListProvider {
public:
    virtual ~WindowListProvider() = default;
    // Nothing when the platform refuses the list (no display to ask).
    virtual std::optional<QList<MeetingWindow>> windows() = 0;
};
