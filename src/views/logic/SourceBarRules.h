#pragma once

#include "audio/AudioDevice.h"
#include "views/logic/ViewColor.h"

#include <QList>
#include <QString>

// The source control bar: which width class it is in and what each class
// shows, the source badge, the gain percentages and the microphone picker's
// rows.
namespace SourceBarRules {

// The width the bar lays out with until it has been measured.
constexpr double initialBarWidth = 1200;

enum class WidthClass { full, compact, veryCompact };

// Full from 1220 points on, compact from 1060, very compact below.
WidthClass widthClass(double barWidth);

struct Metrics {
    int barSpacing = 0;
    int barPadding = 0;
    int groupSpacing = 0;
    int groupPadding = 0;
    QString micLabel;
    QString systemLabel;
    int pickerMinWidth = 0;
    int pickerMaxWidth = 0;
    int sliderWidth = 0;
    bool showsPercentage = false;
    bool showsInternalMix = false;
    int meterWidth = 0;
    QString echoGuardLabel;
    int echoGuardPadding = 0;
    // The update and speech-model badges' compact form.
    bool compactBadges = false;
    // The source badge as a dot with its text as tooltip, else a capsule.
    bool sourceBadgeAsDot = false;
};

Metrics metrics(WidthClass widthClass);

struct SourceBadge {
    QString text;
    ColorRole color = ColorRole::none;
};

// With no sound server reachable the badge says so, whatever is chosen.
SourceBadge sourceBadge(bool micEnabled, bool systemAudioEnabled, bool soundServerReachable = true);

// Echo Guard makes sense only when there is something to guard against.
bool showsEchoGuard(bool micEnabled, bool systemAudioEnabled);
bool showsPermissionButton(bool permissionMissing, bool systemAudioEnabled);

struct SourceToggleLook {
    QString symbol;
    ColorRole iconColor = ColorRole::none;
};

SourceToggleLook micToggle(bool enabled);
SourceToggleLook systemToggle(bool enabled);

struct EchoGuardLook {
    QString symbol;
    ColorRole iconColor = ColorRole::none;
    ColorRole textColor = ColorRole::none;
    Tint fill;
    Tint outline;
};

EchoGuardLook echoGuard(bool enabled);
QString echoGuardTooltip();

// The gain times 100, truncated toward zero in single precision, so that the
// stored 1.4 shows 140 and not 139.
int gainPercent(float gain);
QString percentText(float gain);
QString micGainTooltip(float gain);
QString systemGainTooltip(float gain);

// The bar's own slider ranges, wider than the settings window's.
constexpr float micGainMaximum = 2.5f;
constexpr float systemGainMaximum = 2.0f;

struct PickerRow {
    QString name;
    QString id;

    friend bool operator==(const PickerRow&, const PickerRow&) = default;
};

// One row per device in the list's order. With no device one row that
// selects the empty identifier and says why nothing can be chosen: "No
// Microphone" (the server lists none; its default would be an output's
// monitor), or "No Sound Server" while none is reachable, whatever it listed
// before.
QList<PickerRow> micPickerRows(const QList<AudioDevice>& devices, bool soundServerReachable = true);

} // namespace SourceBarRules
