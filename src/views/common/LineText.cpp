#include "views/common/LineText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

namespace LineText {

void draw(QPainter& painter, const QRectF& box, Qt::Alignment alignment, const QString& text, bool fits)
{
    const bool rightToLeft = text.isRightToLeft();
    QString shown = text;
    if (!fits) {
        // Elided for the width it gets, in the direction it is drawn.
        shown = QFontMetricsF(painter.font()).elidedText(text, Qt::ElideRight, box.width());
    }
    // Left stays left: the box places the text, the text's direction only orders it.
    QTextOption option(alignment | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    painter.drawText(box, shown, option);
}

} // namespace LineText
