#pragma once

#include <QLabel>

// Selectable rich text made from outside Markdown by our own converter, so
// nothing of the source is interpreted as HTML; links go to LinkOpener.
class MarkdownLabel : public QLabel {
    Q_OBJECT
public:
    MarkdownLabel(const QString& markdown, int pixelSize, double extraLineSpacing, QWidget* parent = nullptr);
};
