#include "views/logic/ActiveRowRules.h"

#include <cmath>

namespace ActiveRowRules {

QString formattedDuration(double seconds)
{
    if (std::isnan(seconds) || seconds < 0)
        seconds = 0;
    if (!std::isfinite(seconds) || seconds >= 9.2e18)
        return QStringLiteral("--:--");
    const long long whole = static_cast<long long>(std::trunc(seconds));
    return QString::asprintf("%02lld:%02lld", whole / 60, whole % 60);
}

StatusLine statusLine(bool isPaused)
{
    if (isPaused)
        return {QStringLiteral("Recording paused"), {ColorRole::orange}, false, {ColorRole::orange}};
    return {QStringLiteral("Recording in progress..."), {ColorRole::red}, true, {ColorRole::red}};
}

Ring ring(bool pulseState)
{
    return pulseState ? Ring{17, 5, 0.15} : Ring{11, 2, 0.5};
}

Look look(bool isSelected, bool isHovered)
{
    const bool emphasised = isSelected || isHovered;
    Look result;
    if (isSelected) {
        result.fill = {ColorRole::red, 0.12};
        result.border = {ColorRole::red, 0.35};
    } else if (isHovered) {
        result.fill = {ColorRole::gray, 0.08};
        result.border = {ColorRole::red, 0.20};
    } else {
        result.fill = {ColorRole::red, 0.05};
        result.border = {ColorRole::red, 0.20};
    }
    result.titleWeight = isSelected ? TextWeight::semibold : TextWeight::medium;
    result.renameButtonOpacity = emphasised ? 0.85 : 0.0;
    result.stopButtonOpacity = emphasised ? 1.0 : 0.0;
    return result;
}

bool showsEdgeButtons(bool isEditing)
{
    return !isEditing;
}

bool clicksAct(bool isEditing)
{
    return !isEditing;
}

QList<MenuEntry<Action>> contextMenu(bool isPaused)
{
    return {
        {Action::rename, QStringLiteral("Rename"), QStringLiteral("pencil")},
        {Action::pauseResume, isPaused ? QStringLiteral("Resume Recording") : QStringLiteral("Pause Recording"),
         isPaused ? QStringLiteral("play.fill") : QStringLiteral("pause.fill")},
        {Action::stop, QStringLiteral("Stop & Save Recording"), QStringLiteral("stop.fill"), true, true, true},
    };
}

} // namespace ActiveRowRules
