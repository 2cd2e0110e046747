#include "views/common/PlainLabels.h"

#include "views/style/Style.h"

#include <QLabel>

namespace PlainLabels {

QLabel* make(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(Style::css(color)));
    return label;
}

} // namespace PlainLabels
