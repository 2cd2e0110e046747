#pragma once

#include "platform/x11/X11WindowList.h"
#include "services/meetings/WindowListProvider.h"

// The X display's windows, each named after its owning application as the
// identity table knows it (from the owning process, its Flatpak id and the
// window class).
class SystemWindowListProvider : public WindowListProvider {
public:
    explicit SystemWindowListProvider(X11WindowList::Walk walk = X11WindowList::Walk::Automatic);

    std::optional<QList<MeetingWindow>> windows() override;

private:
    X11WindowList m_windows;
};
