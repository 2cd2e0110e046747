#pragma once

// Colours by role, so the decisions can name them without Qt Gui; the style
// turns them into real colours for the current palette.
enum class ColorRole {
    none,
    primary,
    secondary,
    accent,
    red,
    orange,
    purple,
    blue,
    green,
    gray,
    white,
    yellow,
    teal,
    // The fill behind controls and cards (white in a light palette).
    controlBackground,
};

struct Tint {
    ColorRole role = ColorRole::none;
    double opacity = 1.0;

    friend bool operator==(const Tint&, const Tint&) = default;
};

// Font weights the views use, kept apart from QFont so the decisions stay in QtCore.
enum class TextWeight { regular, medium, semibold, bold };
