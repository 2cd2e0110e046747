#include "views/logic/SpaceKeyRules.h"
#include "views/logic/StatusMessageRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(StatusMessageRules, WarnsForFailuresAndRequestsAnywhereInTheText)
{
    struct Case {
        const char* message;
        bool problem;
    } cases[] = {
        {"Merge failed: the file is gone", true},
        {"Transcription failed: Whisper model not found", true},
        {"Please enable at least one source (Mic or System Audio) to record.", true},
        {"Please transcribe the recording first.", true},
        {"ERROR while saving", true},
        {"Cannot open the file", true},
        {"Could not save the library: Permission denied", true},
        // A recording cut short, or one that lost a source, is no success.
        {"Recording stopped: The sound server went away.", true},
        {"Microphone disconnected — recording system audio only", true},
        {"System audio output removed — recording the microphone only", true},
        // A quoted title counts as much as the fixed wording.
        {"Exported 'Known errors review.mp3' to Downloads!", true},
        {"Exported 'Failure modes.mp3' to Downloads!", true},
        {"Transcription finished!", false},
        {"Executive recap ready!", false},
        {"Recap copied to clipboard!", false},
        {"", false},
    };
    for (const auto& c : cases) {
        const QString message = QString::fromUtf8(c.message);
        EXPECT_EQ(StatusMessageRules::isProblem(message), c.problem) << c.message;
        EXPECT_EQ(StatusMessageRules::symbol(message),
                  c.problem ? "exclamationmark.circle.fill" : "checkmark.circle.fill");
        EXPECT_EQ(StatusMessageRules::symbolTint(message).role, c.problem ? ColorRole::orange : ColorRole::green);
    }
}

TEST(SpaceKeyRules, TogglesOnlyWhenIdleWithASelectionAndNobodyTyping)
{
    using SpaceKeyRules::Action;
    const SpaceKeyRules::Input toggles{true, false, false, false, true, RecorderState::idle};
    EXPECT_EQ(SpaceKeyRules::decide(toggles), Action::togglePlayback);

    struct Case {
        const char* name;
        void (*change)(SpaceKeyRules::Input&);
    } passes[] = {
        {"another key", [](SpaceKeyRules::Input& in) { in.isSpace = false; }},
        {"search focused", [](SpaceKeyRules::Input& in) { in.isSearchFocused = true; }},
        {"renaming", [](SpaceKeyRules::Input& in) { in.isRenamingActive = true; }},
        {"a text field has focus", [](SpaceKeyRules::Input& in) { in.textInputHasFocus = true; }},
        {"a control reached by Tab has focus", [](SpaceKeyRules::Input& in) { in.controlHasFocus = true; }},
        {"nothing selected", [](SpaceKeyRules::Input& in) { in.hasSelection = false; }},
        {"starting", [](SpaceKeyRules::Input& in) { in.recorderState = RecorderState::starting; }},
        {"recording", [](SpaceKeyRules::Input& in) { in.recorderState = RecorderState::recording; }},
        {"paused", [](SpaceKeyRules::Input& in) { in.recorderState = RecorderState::paused; }},
        {"stopping", [](SpaceKeyRules::Input& in) { in.recorderState = RecorderState::stopping; }},
    };
    for (const auto& c : passes) {
        SpaceKeyRules::Input input = toggles;
        c.change(input);
        EXPECT_EQ(SpaceKeyRules::decide(input), Action::passOn) << c.name;
    }
}
