#pragma once

// Takes the keyboard focus away from whatever field holds it in the active (or
// else the main) window, so the Space shortcut reaches play and pause.
// Implemented where a GUI exists.
class FocusService {
public:
    virtual ~FocusService() = default;
    virtual void releaseFocus() = 0;
};
