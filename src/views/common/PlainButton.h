#pragma once

#include "views/logic/ViewColor.h"

#include <QToolButton>

// A borderless button showing one symbol in one colour; its opacity lets a
// row keep it in place but invisible until the pointer comes near.
class PlainButton : public QToolButton {
    Q_OBJECT
public:
    PlainButton(const QString& symbol, int size, const Tint& tint, const QString& toolTip, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setTint(const Tint& tint);
    void setOpacity(double opacity);
    QString symbol() const { return m_symbol; }
    double opacity() const { return m_opacity; }

private:
    void refresh();

    QString m_symbol;
    Tint m_tint;
    double m_opacity = 1.0;
};
