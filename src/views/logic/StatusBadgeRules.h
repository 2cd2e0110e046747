#pragma once

#include "engines/speech/WhisperModelState.h"
#include "services/updates/UpdateState.h"
#include "views/logic/ViewColor.h"

#include <QString>

// What the two status badges at the end of the source bar show, as pure
// functions of their service's state and the bar's compact flag.
namespace StatusBadgeRules {

enum class Form {
    nothing, // takes no space
    capsule, // a rounded row on the window background
    button, // a bordered button
    restartButton, // the green capsule button
    plainRow, // a row without a capsule
};

enum class Leading { none, spinner, icon, progressBar, dot };

struct Look {
    Form form = Form::nothing;
    Leading leading = Leading::none;
    QString icon; // symbol name when `leading` is icon
    Tint iconTint;
    double spinnerScale = 0.6;
    QString text;
    int textSize = 11;
    TextWeight weight = TextWeight::regular;
    bool monospaced = false;
    Tint textTint{ColorRole::secondary};
    QString toolTip;
    int spacing = 5;
    int horizontalPadding = 8;
    int verticalPadding = 4;
    double progress = 0; // progressBar

    friend bool operator==(const Look&, const Look&) = default;
};

Look updateBadge(const UpdateState& state, bool compact, const QString& currentVersion);
Look speechModelBadge(const WhisperModelState& state, bool compact);

// "n%" with n the progress times 100, truncated toward zero.
QString percentText(double progress);

// The restart confirmation's message: release notes after one empty line.
QString restartAlertMessage(const UpdateInfo& info);

// What the restart confirmation shows. Long release notes would make it taller
// than the screen, its buttons out of reach: the message then keeps their first
// lines and ends with an ellipsis, and the whole notes go to its details.
struct RestartAlertText {
    QString message;
    QString details; // empty when the message holds the notes whole
};
RestartAlertText restartAlertText(const UpdateInfo& info);

} // namespace StatusBadgeRules
