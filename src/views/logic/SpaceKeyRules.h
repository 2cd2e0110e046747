#pragma once

#include "models/RecorderState.h"

// Space plays and pauses the selected recording, but only when nobody is typing.
namespace SpaceKeyRules {

struct Input {
    bool isSpace = false;
    bool isSearchFocused = false;
    bool isRenamingActive = false;
    bool textInputHasFocus = false; // a line edit or an editable text view holds the focus
    bool hasSelection = false;
    RecorderState recorderState = RecorderState::idle;
    // A button or box the user moved to from the keyboard: Space presses it.
    bool controlHasFocus = false;
};

enum class Action { passOn, togglePlayback };

Action decide(const Input& input);

} // namespace SpaceKeyRules
