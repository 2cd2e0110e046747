#include "views/detail/PaneLabels.h"

#include <QLabel>

namespace PaneLabels {

QLabel* plain(const QString& text, const QFont& font, const QColor& color)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    return label;
}

} // namespace PaneLabels
