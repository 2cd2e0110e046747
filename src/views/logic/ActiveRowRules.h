#pragma once

#include "views/logic/MenuEntry.h"
#include "views/logic/ViewColor.h"

#include <QList>
#include <QString>

// The look and the commands of the recording in progress in the library column.
namespace ActiveRowRules {

// "%02d:%02d" of whole seconds, cut toward zero; minutes never fold into
// hours. Negative and not-a-number give 00:00; values no clock can show give --:--.
QString formattedDuration(double seconds);

struct StatusLine {
    QString text;
    Tint color;
    bool showsRing = false;
    Tint dot;

    friend bool operator==(const StatusLine&, const StatusLine&) = default;
};
StatusLine statusLine(bool isPaused);

// The two ends of the ring's pulse.
struct Ring {
    double diameter = 0;
    double lineWidth = 0;
    double opacity = 0;

    friend bool operator==(const Ring&, const Ring&) = default;
};
Ring ring(bool pulseState);
constexpr int pulseHalfPeriodMs = 850;

struct Look {
    Tint fill;
    Tint border;
    TextWeight titleWeight = TextWeight::medium;
    double renameButtonOpacity = 0;
    double stopButtonOpacity = 0;

    friend bool operator==(const Look&, const Look&) = default;
};
Look look(bool isSelected, bool isHovered);

bool showsEdgeButtons(bool isEditing);
// Clicks and double clicks go to the rename field while it is open.
bool clicksAct(bool isEditing);

enum class Action { rename, pauseResume, stop };
QList<MenuEntry<Action>> contextMenu(bool isPaused);

} // namespace ActiveRowRules
