#include "views/logic/SpaceKeyRules.h"

namespace SpaceKeyRules {

Action decide(const Input& input)
{
    if (!input.isSpace || input.isSearchFocused || input.isRenamingActive || input.textInputHasFocus
        || input.controlHasFocus
        || !input.hasSelection || input.recorderState != RecorderState::idle)
        return Action::passOn;
    return Action::togglePlayback;
}

} // namespace SpaceKeyRules
