#include "views/common/FocusRelease.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace FocusRelease {

void schedule(QWidget* fallbackWindow)
{
    QPointer<QWidget> fallback = fallbackWindow ? fallbackWindow->window() : nullptr;
    QTimer::singleShot(0, qApp, [fallback] {
        QWidget* window = QApplication::activeWindow();
        if (!window)
            window = fallback;
        if (!window)
            return;
        if (QWidget* focused = window->focusWidget())
            focused->clearFocus();
    });
}

} // namespace FocusRelease
