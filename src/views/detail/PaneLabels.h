#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;

// The labels of the panes.
namespace PaneLabels {

// Text in one font and colour, never read as markup: much of it (titles,
// messages) comes from outside.
QLabel* plain(const QString& text, const QFont& font, const QColor& color);

} // namespace PaneLabels
