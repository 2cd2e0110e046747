#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// A filled rounded rectangle, with an optional one-pixel outline, painted
// from a picture kept per size, position within the pixel and colours.
// Qt's raster engine hands an antialiased fill of more than about a hundred
// spans (a list row's background) to a thread pool of its own and waits for
// it: on a busy machine the GUI thread then waits for a thread that is not
// running, for tens of milliseconds. Copying a kept picture to whole device
// pixels stays on the GUI thread.
namespace RoundedBox {

void paint(QPainter& painter, const QRectF& box, qreal radius, const QColor& fill, const QColor& outline = QColor());

} // namespace RoundedBox
