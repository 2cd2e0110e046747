#pragma once

#include "models/RecorderState.h"
#include "views/logic/ViewColor.h"

#include <QString>

#include <optional>

// The in-window cards through which the user answers the meeting detector:
// what each variant says and when the window shows it.
namespace MeetingBannerRules {

// Shown when no countdown is known.
constexpr int defaultCountdownSeconds = 30;

struct Content {
    QString symbol;
    Tint tint; // the icon, its circle and the outline
    QString heading;
    QString title; // the meeting's suggested recording title, as it is
    QString detail;
    Tint detailTint;
    QString primarySymbol;
    QString primaryLabel;
    Tint primaryFill;
    QString secondaryLabel;

    friend bool operator==(const Content&, const Content&) = default;
};

// The detected-meeting card (`isEndPrompt` false) or the meeting-end card.
Content content(const QString& meetingTitle, bool isEndPrompt, std::optional<int> countdownSeconds);

// "Call finished. Auto-stopping & saving in <seconds>s...".
QString endDetail(std::optional<int> countdownSeconds);

// An offer to record only while nothing is recorded.
bool showsDetectedBanner(bool hasDetectedMeeting, RecorderState state);
// An offer to stop only while a recording runs or is paused.
bool showsEndBanner(bool hasEndPrompt, RecorderState state);

} // namespace MeetingBannerRules
