#pragma once

#include <QColor>

// Contrast between colours as the accessibility guidelines define it
// (relative luminance, 1:1 to 21:1).
namespace Contrast {

double ratio(const QColor& first, const QColor& second);

// `top` painted over the opaque `bottom`.
QColor over(const QColor& top, const QColor& bottom);

// `ink`, moved towards black or white (whichever the background stands
// further from) just far enough to reach `minimum` on `background`.
QColor readable(const QColor& ink, const QColor& background, double minimum = 4.5);

} // namespace Contrast
