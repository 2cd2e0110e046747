#pragma once

#include "models/RecordingItem.h"
#include "models/RecordingType.h"

#include <QString>

// The Recap tab of a stored recording: which card or the recap stands below
// the header, the header's subtitle and buttons, and what a type change does.
namespace RecapRules {

struct Situation {
    bool modelFilePresent = false; // the file on disk, not the engine's state
    bool isBeingTranscribed = false;
    bool isBeingRecapped = false;
};

enum class Body { modelDownload, transcribing, generating, recap, readyToGenerate, transcriptRequired };

Body body(const RecordingItem& item, const Situation& situation);

// "Executive Recap • 412 words • Meeting", or without the count when there is
// no recap at all.
QString subtitle(const RecordingItem& item);

enum class Buttons { none, copyAndRegenerate, generate };

struct Header {
    Buttons buttons = Buttons::none;
    bool generateEnabled = false; // Regenerate and Generate Recap

    friend bool operator==(const Header&, const Header&) = default;
};

Header header(const RecordingItem& item, const Situation& situation);

// A type chosen in the header's menu: nothing when it is already the
// effective type; otherwise store it, and rewrite the recap only when the
// refreshed recording has one.
bool changesType(const RecordingItem& item, RecordingType chosen);
bool regeneratesAfterTypeChange(const RecordingItem& refreshed);

} // namespace RecapRules
