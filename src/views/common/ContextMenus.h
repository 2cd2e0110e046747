#pragma once

#include "views/logic/MenuEntry.h"
#include "views/style/Icons.h"

#include <QMenu>

namespace ContextMenus {

// Adds one entry as a row's rules decided it: a separator first when asked,
// the symbol red for a destructive command, the label shown as it stands.
template <typename Action>
QAction* addEntry(QMenu& menu, const MenuEntry<Action>& entry)
{
    if (entry.separatorBefore)
        menu.addSeparator();
    const Tint tint{entry.destructive ? ColorRole::red : ColorRole::primary};
    // A lone & would become a mnemonic.
    const QString label = QString(entry.label).replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = menu.addAction(Icons::icon(entry.symbol, tint), label);
    action->setEnabled(entry.enabled);
    return action;
}

} // namespace ContextMenus
