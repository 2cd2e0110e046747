#include "views/logic/DetailAreaRules.h"

namespace DetailAreaRules {

namespace {

Pane pane(const Input& input, bool idle)
{
    // A running recording takes over whatever tab is chosen.
    if (!idle)
        return Pane::live;
    switch (input.activeTab) {
    case Tab::waveform:
        return input.hasSelection ? Pane::playback : Pane::empty;
    case Tab::transcript:
        return Pane::transcript;
    case Tab::recap:
        return Pane::recap;
    }
    return Pane::empty;
}

EnhancementSlot enhancementSlot(const Input& input)
{
    // An existing enhanced copy wins over a new enhancement that is running.
    if (input.hasEnhancedFile)
        return EnhancementSlot::originalEnhancedSwitch;
    if (input.isEnhancing)
        return EnhancementSlot::enhancingBadge;
    return EnhancementSlot::enhanceButton;
}

} // namespace

Layout layout(const Input& input)
{
    const bool idle = input.recorderState == RecorderState::idle;
    Layout result;
    result.showsTabPicker = idle;
    result.pane = pane(input, idle);
    if (idle && input.hasSelection && input.activeTab == Tab::waveform) {
        result.header = input.isTrimmingActive ? Header::trimming : Header::normal;
        if (!input.isTrimmingActive)
            result.enhancementSlot = enhancementSlot(input);
    }
    return result;
}

} // namespace DetailAreaRules
