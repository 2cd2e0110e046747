#pragma once

#include <QAccessible>
#include <QApplication>
#include <QList>
#include <QTest>
#include <QWidget>

// Walks a window with the keyboard as a user without a mouse would.
namespace KeyboardWalk {

// The controls of `window` that Tab should reach: shown, enabled, taking
// the focus from Tab.
inline QList<QWidget*> tabStops(QWidget* window)
{
    QList<QWidget*> stops;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isVisibleTo(window) && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)
            && !widget->focusProxy())
            stops.append(widget);
    }
    return stops;
}

// Presses Tab until the focus comes back to where the walk began; the
// controls in the order visited. Stops after `limit` presses.
inline QList<QWidget*> tabChain(QWidget* window, int limit = 200)
{
    QList<QWidget*> visited;
    for (int press = 0; press < limit; ++press) {
        QWidget* from = QApplication::focusWidget();
        QTest::keyClick(from ? from : window, Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || visited.contains(now))
            break;
        visited.append(now);
    }
    return visited;
}

inline QString describe(const QWidget* widget)
{
    QString path;
    for (const QObject* at = widget; at; at = at->parent())
        path.prepend(QLatin1Char('/') + QString::fromLatin1(at->metaObject()->className()) + QLatin1Char('#') + at->objectName());
    return path;
}

inline QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

} // namespace KeyboardWalk
