#pragma once

#include "viewmodels/collaborators/FocusService.h"

#include <QPointer>
#include <QWidget>

// Takes the keyboard from whatever field holds it in the active window, or in
// the main window when none of ours is active. A list the user steps through
// with the arrow keys keeps it: Space plays from there anyway.
class WindowFocus : public FocusService {
public:
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    void releaseFocus() override;

private:
    QPointer<QWidget> m_mainWindow;
};
