#pragma once

#include "views/common/PixmapCache.h"

#include <QWidget>

// A running time on one line, in a font whose digits are all as wide. Its
// size follows the length of the text alone, so a tick never lays the window
// out again; a new text is drawn in the label's own rectangle with the next
// frame of the frame clock. Made opaque (Qt::WA_OpaquePaintEvent), it lays
// the window's background under its digits itself, so a tick redraws nothing
// below it.
class TimerLabel : public QWidget {
    Q_OBJECT
public:
    explicit TimerLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_text;
    PixmapCache m_glyphs;
};
