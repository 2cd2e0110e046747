#pragma once

#include <Qt>

class QPainter;
class QRectF;
class QString;

// One line of text drawn in a box and cut with an ellipsis when it does not
// fit. A right-to-left text is laid out right to left, so its ellipsis sits
// at its own end (the left) and is measured the way it is drawn.
namespace LineText {

void draw(QPainter& painter, const QRectF& box, Qt::Alignment alignment, const QString& text, bool fits);

} // namespace LineText
