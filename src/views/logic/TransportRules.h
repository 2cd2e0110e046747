#pragma once

#include "models/RecorderState.h"

#include <QList>
#include <QString>

// The transport bar: which face it shows, which buttons are there and enabled,
// and what the record button does when pressed.
namespace TransportRules {

constexpr double skipSeconds = 15.0;

struct Input {
    RecorderState recorderState = RecorderState::idle;
    bool hasSelection = false;
    bool isPlaying = false;
};

struct Button {
    bool visible = false;
    bool enabled = false;
    QString symbol; // empty for the drawn buttons
    QString tooltip;

    friend bool operator==(const Button&, const Button&) = default;
};

enum class Face { playback, recording };

struct Layout {
    Face face = Face::playback;
    bool showsSpeedMenu = false;
    bool showsExport = false;
    // Playback face.
    Button skipBack;
    Button playPause;
    Button skipForward;
    Button record;
    // Recording face.
    Button pauseResume;
    Button stop;
    Button done;
    bool stopShowsSpinner = false;
};

Layout layout(const Input& input);

// Read when the button is pressed, not when it was drawn.
enum class RecordAction { start, stop, none };
RecordAction recordAction(RecorderState state);

struct SpeedRow {
    QString text;
    float rate = 1.0f;
};
const QList<SpeedRow>& speedRows();

// "%.2g×": two significant digits, the tie rounded to even (1.25 shows 1.2×).
QString speedLabel(float rate);

} // namespace TransportRules
