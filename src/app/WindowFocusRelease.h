#pragma once

#include "viewmodels/collaborators/FocusService.h"

#include <functional>

class QWidget;

// Clears the keyboard focus of the active window, or else of the main window.
class WindowFocusRelease : public FocusService {
public:
    explicit WindowFocusRelease(std::function<QWidget*()> mainWindow);
    void releaseFocus() override;

private:
    std::function<QWidget*()> m_mainWindow;
};
