#pragma once

#include "views/logic/ViewColor.h"

#include <QString>

class QPushButton;

// The push buttons of the panes: a symbol and a title, plain (bordered) or
// filled with a colour, the accent by default (prominent), small in headers and regular
// with more room as a card's call to action.
namespace PaneButtons {

QPushButton* bordered(const QString& title, const QString& symbol);
QPushButton* prominent(const QString& title, const QString& symbol, ColorRole tint = ColorRole::accent);
// 13 semibold, padded 14 by 6, prominent.
QPushButton* cardAction(const QString& title, const QString& symbol);

} // namespace PaneButtons
