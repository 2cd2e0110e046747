#pragma once

#include "views/logic/ViewColor.h"

#include <QPalette>
#include <QWidget>

#include <optional>

// A container drawn as a filled rounded rectangle, optionally outlined; the
// colours are roles resolved against the current palette.
class RoundedPanel : public QWidget {
    Q_OBJECT
public:
    RoundedPanel(Tint fill, double radius, QWidget* parent = nullptr);

    void setFill(Tint fill);
    void setOutline(Tint outline);
    // Fill as the palette's role instead of a named role (window, base...).
    void setPaletteFill(QPalette::ColorRole role, double opacity);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Tint m_fill;
    Tint m_outline;
    double m_radius;
    std::optional<QPalette::ColorRole> m_paletteRole;
    double m_paletteOpacity = 1.0;
};
