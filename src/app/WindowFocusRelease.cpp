#include "app/WindowFocusRelease.h"

#include <QApplication>
#include <QWidget>

WindowFocusRelease::WindowFocusRelease(std::function<QWidget*()> mainWindow)
    : m_mainWindow(std::move(mainWindow))
{
}

void WindowFocusRelease::releaseFocus()
{
    QWidget* window = QApplication::activeWindow();
    if (!window && m_mainWindow)
        window = m_mainWindow();
    if (!window)
        return;
    if (QWidget* focused = window->focusWidget())
        focused->clearFocus();
}
