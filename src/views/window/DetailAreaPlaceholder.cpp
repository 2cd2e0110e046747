#include "views/window/DetailAreaPlaceholder.h"

#include <QPainter>

DetailAreaPlaceholder::DetailAreaPlaceholder(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("detailArea"));
}

void DetailAreaPlaceholder::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
}
