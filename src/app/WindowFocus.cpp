#include "app/WindowFocus.h"

#include <QAbstractItemView>
#include <QApplication>

void WindowFocus::releaseFocus()
{
    QWidget* window = QApplication::activeWindow();
    if (!window)
        window = m_mainWindow;
    if (!window)
        return;
    QWidget* focused = window->focusWidget();
    if (focused && !qobject_cast<QAbstractItemView*>(focused))
        focused->clearFocus();
}
