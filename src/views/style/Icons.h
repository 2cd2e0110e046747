#pragma once

#include "views/logic/ViewColor.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// Symbols by the names the views use ("pencil", "play.circle.fill"), drawn
// from the freedesktop icon theme, or from our own drawings where the theme
// has nothing that fits, in one colour.
namespace Icons {

// Makes the installed themes findable and falls back to Adwaita when the
// platform names no theme (offscreen, bare X sessions).
void installTheme();

// The theme icon for a symbol, or empty when the symbol is one of ours.
QString themeName(const QString& symbol);
bool hasSymbol(const QString& symbol);

QPixmap pixmap(const QString& symbol, int size, const QColor& color, qreal devicePixelRatio = 1.0);
QIcon icon(const QString& symbol, const QColor& color);
QIcon icon(const QString& symbol, const Tint& tint);

} // namespace Icons
