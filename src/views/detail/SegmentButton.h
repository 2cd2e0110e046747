#pragma once

#include "views/logic/ViewColor.h"

#include <QAbstractButton>

// One segment of a small two-way switch: bold white on its colour when
// selected, medium secondary text on nothing otherwise.
class SegmentButton : public QAbstractButton {
    Q_OBJECT
public:
    SegmentButton(const QString& text, const QString& symbol, ColorRole selectedColor, QWidget* parent = nullptr);

    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    ColorRole m_selectedColor;
    bool m_selected = false;
};
