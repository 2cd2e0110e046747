#include "views/logic/DetailAreaRules.h"

#include <gtest/gtest.h>

using namespace DetailAreaRules;

namespace DetailAreaRules {

std::ostream& operator<<(std::ostream& out, const Input& in)
{
    return out << "state " << int(in.recorderState) << " tab " << int(in.activeTab) << " selection "
               << in.hasSelection << " trimming " << in.isTrimmingActive << " enhanced " << in.hasEnhancedFile
               << " enhancing " << in.isEnhancing;
}

} // namespace DetailAreaRules

TEST(DetailAreaRules, PaneHeaderAndPickerFollowStateTabAndSelection)
{
    constexpr auto idle = RecorderState::idle;
    struct Case {
        Input input;
        Layout layout;
    } cases[] = {
        // Idle without a selection: picker, no header; each tab its own pane.
        {{idle, Tab::waveform, false}, {Header::none, EnhancementSlot::none, true, Pane::empty}},
        {{idle, Tab::transcript, false}, {Header::none, EnhancementSlot::none, true, Pane::transcript}},
        {{idle, Tab::recap, false}, {Header::none, EnhancementSlot::none, true, Pane::recap}},
        // The header belongs to the Audio tab only.
        {{idle, Tab::waveform, true}, {Header::normal, EnhancementSlot::enhanceButton, true, Pane::playback}},
        {{idle, Tab::transcript, true}, {Header::none, EnhancementSlot::none, true, Pane::transcript}},
        {{idle, Tab::recap, true, true}, {Header::none, EnhancementSlot::none, true, Pane::recap}},
        // Trimming keeps its header while on the Audio tab.
        {{idle, Tab::waveform, true, true}, {Header::trimming, EnhancementSlot::none, true, Pane::playback}},
        // An existing enhanced copy wins over a running enhancement.
        {{idle, Tab::waveform, true, false, true, true},
         {Header::normal, EnhancementSlot::originalEnhancedSwitch, true, Pane::playback}},
        {{idle, Tab::waveform, true, false, false, true},
         {Header::normal, EnhancementSlot::enhancingBadge, true, Pane::playback}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(layout(c.input), c.layout) << c.input;
}

TEST(DetailAreaRules, ARunningRecordingShowsOnlyTheLivePane)
{
    for (RecorderState state :
         {RecorderState::starting, RecorderState::recording, RecorderState::paused, RecorderState::stopping}) {
        for (Tab tab : {Tab::waveform, Tab::transcript, Tab::recap}) {
            for (bool selection : {false, true}) {
                const Input input{state, tab, selection, selection};
                EXPECT_EQ(layout(input), (Layout{Header::none, EnhancementSlot::none, false, Pane::live})) << input;
            }
        }
    }
}
