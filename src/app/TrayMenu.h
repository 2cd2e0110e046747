#pragma once

#include "models/RecorderState.h"

#include <QList>
#include <QString>

#include <optional>

// What the tray item shows, as a function of the application core's state:
// the icon's look with its tooltip, and the entries of its menu. The menu is
// built from these each time it opens.
namespace TrayMenu {

// What the tray item knows when it draws. No recorder state: the view model
// does not exist yet.
struct State {
    std::optional<RecorderState> recorderState;
    double recordingDuration = 0;
    bool isDetectionEnabled = false;
};

enum class Action { none, openMainWindow, toggleRecording, openSettings, quit };

struct Entry {
    Action action = Action::none;
    QString title;       // empty for a separator
    QString shortcut;    // in QKeySequence's portable text
    bool enabled = true;
    bool isSeparator = false;

    friend bool operator==(const Entry&, const Entry&) = default;
};

QList<Entry> entries(const State& state);

enum class Look { idle, recording, paused };

struct Button {
    Look look = Look::idle;
    // What the icon stands for ("Nimbrel Recording"), followed by the elapsed
    // time while a recording runs: a tray icon carries no text of its own.
    QString toolTip;

    friend bool operator==(const Button&, const Button&) = default;
};

Button button(const State& state);

// Whole seconds, truncated toward zero, as "%02d:%02d"; minutes never fold
// into hours (3,725 s read 62:05).
QString formatDuration(double seconds);

} // namespace TrayMenu
