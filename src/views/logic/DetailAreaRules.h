#pragma once

#include "models/RecorderState.h"

// What the detail area shows: the header above the Audio pane, the tab picker
// and which pane fills the rest.
namespace DetailAreaRules {

enum class Tab { waveform, transcript, recap };

struct Input {
    RecorderState recorderState = RecorderState::idle;
    Tab activeTab = Tab::waveform;
    bool hasSelection = false;
    bool isTrimmingActive = false;
    bool hasEnhancedFile = false; // only the field counts, not the file on disk
    bool isEnhancing = false;     // the selection's id is being enhanced
};

enum class Header { none, trimming, normal };
// The normal header's first control.
enum class EnhancementSlot { none, originalEnhancedSwitch, enhancingBadge, enhanceButton };
enum class Pane { live, empty, playback, transcript, recap };

struct Layout {
    Header header = Header::none;
    EnhancementSlot enhancementSlot = EnhancementSlot::none;
    bool showsTabPicker = false;
    Pane pane = Pane::empty;

    friend bool operator==(const Layout&, const Layout&) = default;
};

Layout layout(const Input& input);

} // namespace DetailAreaRules
