#include "app/ShortcutPassThrough.h"

#include <QKeyEvent>

ShortcutPassThrough::ShortcutPassThrough(QList<QKeySequence> commands, QObject* parent)
    : QObject(parent)
    , m_commands(std::move(commands))
{
}

bool ShortcutPassThrough::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    if (!m_commands.contains(pressed))
        return QObject::eventFilter(watched, event);
    // Unclaimed, the shortcut map gives the key to the command.
    event->ignore();
    return true;
}
