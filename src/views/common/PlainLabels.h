#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// Labels of fixed texts in one font and colour, never read as rich text.
namespace PlainLabels {

QLabel* make(const QString& text, const QFont& font, const QColor& color, QWidget* parent);

} // namespace PlainLabels
