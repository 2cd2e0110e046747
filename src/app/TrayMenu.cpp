#include "app/TrayMenu.h"

#include <cmath>

namespace TrayMenu {

namespace {

bool isRunning(const State& state)
{
    return state.recorderState == RecorderState::recording || state.recorderState == RecorderState::paused;
}

QString statusLine(const State& state)
{
    if (state.recorderState == RecorderState::recording)
        return QStringLiteral("Recording: ") + formatDuration(state.recordingDuration);
    if (state.recorderState == RecorderState::paused)
        return QStringLiteral("Recording Paused: ") + formatDuration(state.recordingDuration);
    return state.isDetectionEnabled ? QStringLiteral("Status: Monitoring for meetings") : QStringLiteral("Status: Ready");
}

Entry separator()
{
    Entry entry;
    entry.isSeparator = true;
    return entry;
}

} // namespace

QList<Entry> entries(const State& state)
{
    Entry status{Action::none, statusLine(state)};
    status.enabled = false;
    return {
        {Action::openMainWindow, QStringLiteral("Open Nimbrel")},
        separator(),
        status,
        {Action::toggleRecording, isRunning(state) ? QStringLiteral("Stop Recording") : QStringLiteral("Start Recording")},
        separator(),
        {Action::openSettings, QStringLiteral("Settings..."), QStringLiteral("Ctrl+,")},
        separator(),
        {Action::quit, QStringLiteral("Quit Nimbrel"), QStringLiteral("Ctrl+Q")},
    };
}

Button button(const State& state)
{
    if (state.recorderState == RecorderState::recording)
        return {Look::recording, QStringLiteral("Nimbrel Recording ") + formatDuration(state.recordingDuration)};
    if (state.recorderState == RecorderState::paused)
        return {Look::paused, QStringLiteral("Nimbrel Paused ") + formatDuration(state.recordingDuration)};
    return {Look::idle, QStringLiteral("Nimbrel")};
}

QString formatDuration(double seconds)
{
    // The view model never publishes these; they must not reach the integer cast.
    if (!std::isfinite(seconds) || std::fabs(seconds) >= 9.2e18)
        return QStringLiteral("--:--");
    const long long whole = static_cast<long long>(seconds);
    return QString::asprintf("%02lld:%02lld", whole / 60, whole % 60);
}

} // namespace TrayMenu
