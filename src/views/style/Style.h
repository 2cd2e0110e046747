#pragma once

#include "views/logic/ViewColor.h"

#include <QColor>
#include <QFont>
#include <QString>

class QApplication;
class QScrollBar;

// The one place where the views' colours, fonts and widget styling are set.
// Sizes are device-independent pixels, one for each point of the design.
namespace Style {

// Installs the icon theme, the widget style and the style sheet; call once
// after the application object exists.
void apply(QApplication& app);

// A narrow bar without arrows, for lists in narrow columns.
void makeThin(QScrollBar* bar);

QColor color(ColorRole role, double opacity = 1.0);
QColor color(const Tint& tint);

QFont font(int size, TextWeight weight = TextWeight::regular);
// Digits of equal width, for timers and rates.
QFont monospacedFont(int size, TextWeight weight = TextWeight::regular);

// "rgba(...)" for style sheets.
QString css(const QColor& color);

// Set NIMBREL_NO_ANIMATIONS=1 for tests and screenshots: animated views then
// show their resting state.
bool animationsEnabled();

} // namespace Style
