#pragma once

#include <QString>

// One entry of a row's context menu, as the row's rules decide it.
template <typename Action>
struct MenuEntry {
    Action action;
    QString label;
    QString symbol;
    bool enabled = true;
    bool destructive = false;
    bool separatorBefore = false;

    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};
