#include "views/logic/SourceBarRules.h"

#include <algorithm>
#include <cmath>

namespace SourceBarRules {

namespace {

constexpr double fullClassMinimum = 1220;
constexpr double compactClassMinimum = 1060;

} // namespace

WidthClass widthClass(double barWidth)
{
    if (barWidth >= fullClassMinimum)
        return WidthClass::full;
    if (barWidth >= compactClassMinimum)
        return WidthClass::compact;
    return WidthClass::veryCompact;
}

Metrics metrics(WidthClass widthClass)
{
    const bool full = widthClass == WidthClass::full;
    const bool tiny = widthClass == WidthClass::veryCompact;
    Metrics m;
    m.barSpacing = full ? 16 : tiny ? 8 : 12;
    m.barPadding = tiny ? 10 : 16;
    m.groupSpacing = tiny ? 6 : 8;
    m.groupPadding = tiny ? 8 : 10;
    m.micLabel = tiny ? QStringLiteral("Mic") : QStringLiteral("Microphone");
    m.systemLabel = tiny ? QStringLiteral("System") : QStringLiteral("System Audio");
    m.pickerMinWidth = full ? 120 : tiny ? 80 : 100;
    m.pickerMaxWidth = full ? 160 : 130;
    m.sliderWidth = full ? 60 : tiny ? 45 : 50;
    m.showsPercentage = !tiny;
    m.showsInternalMix = full;
    m.meterWidth = full ? 38 : tiny ? 26 : 32;
    m.echoGuardLabel = tiny ? QStringLiteral("Echo") : QStringLiteral("Echo Guard");
    m.echoGuardPadding = tiny ? 7 : 9;
    m.compactBadges = !full;
    m.sourceBadgeAsDot = !full;
    return m;
}

SourceBadge sourceBadge(bool micEnabled, bool systemAudioEnabled, bool soundServerReachable)
{
    if (!soundServerReachable)
        return {QStringLiteral("No Sound Server"), ColorRole::red};
    if (micEnabled && systemAudioEnabled)
        return {QStringLiteral("Mic + System Audio"), ColorRole::green};
    if (micEnabled)
        return {QStringLiteral("Mic Only"), ColorRole::blue};
    if (systemAudioEnabled)
        return {QStringLiteral("System Audio Only"), ColorRole::blue};
    return {QStringLiteral("No Source Selected"), ColorRole::red};
}

bool showsEchoGuard(bool micEnabled, bool systemAudioEnabled)
{
    return micEnabled && systemAudioEnabled;
}

bool showsPermissionButton(bool permissionMissing, bool systemAudioEnabled)
{
    return permissionMissing && systemAudioEnabled;
}

SourceToggleLook micToggle(bool enabled)
{
    return enabled ? SourceToggleLook{QStringLiteral("mic.fill"), ColorRole::blue}
                   : SourceToggleLook{QStringLiteral("mic.slash.fill"), ColorRole::secondary};
}

SourceToggleLook systemToggle(bool enabled)
{
    return enabled ? SourceToggleLook{QStringLiteral("speaker.wave.3.fill"), ColorRole::purple}
                   : SourceToggleLook{QStringLiteral("speaker.slash.fill"), ColorRole::secondary};
}

EchoGuardLook echoGuard(bool enabled)
{
    if (enabled)
        return {QStringLiteral("shield.lefthalf.filled"), ColorRole::teal, ColorRole::primary, {ColorRole::teal, 0.14},
                {ColorRole::teal, 0.4}};
    return {QStringLiteral("shield.slash"), ColorRole::secondary, ColorRole::secondary, {ColorRole::controlBackground},
            {ColorRole::none}};
}

QString echoGuardTooltip()
{
    return QStringLiteral("Smart Echo Guard: prevents laptop speaker audio from bleeding into the microphone when both "
                          "sources are active (ideal when using speakers). Disable if wearing headphones.");
}

int gainPercent(float gain)
{
    const float scaled = gain * 100.0f;
    // A stored value from outside may be anything; keep the conversion defined.
    if (!std::isfinite(scaled))
        return 0;
    return static_cast<int>(std::clamp(scaled, -1.0e6f, 1.0e6f));
}

QString percentText(float gain)
{
    return QStringLiteral("%1%").arg(gainPercent(gain));
}

QString micGainTooltip(float gain)
{
    return QStringLiteral("Microphone volume gain (Current: %1%)").arg(gainPercent(gain));
}

QString systemGainTooltip(float gain)
{
    return QStringLiteral("System Audio volume gain (Current: %1%)").arg(gainPercent(gain));
}

QList<PickerRow> micPickerRows(const QList<AudioDevice>& devices, bool soundServerReachable)
{
    if (!soundServerReachable)
        return {{QStringLiteral("No Sound Server"), QString()}};
    if (devices.isEmpty())
        return {{QStringLiteral("No Microphone"), QString()}};
    QList<PickerRow> rows;
    rows.reserve(devices.size());
    for (const AudioDevice& device : devices)
        rows.append({device.name, device.id});
    return rows;
}

} // namespace SourceBarRules
