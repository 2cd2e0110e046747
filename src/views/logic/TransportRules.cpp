#include "views/logic/TransportRules.h"

#include <cstdio>

namespace TransportRules {

Layout layout(const Input& input)
{
    Layout result;
    const bool idle = input.recorderState == RecorderState::idle;
    if (idle) {
        result.face = Face::playback;
        result.showsSpeedMenu = input.hasSelection;
        result.showsExport = input.hasSelection;
        const bool playable = input.hasSelection;
        result.skipBack = {playable, playable, QStringLiteral("gobackward.15"), QStringLiteral("Skip 15 seconds backward")};
        result.playPause = {playable, playable,
                            input.isPlaying ? QStringLiteral("pause.circle.fill") : QStringLiteral("play.circle.fill"),
                            input.isPlaying ? QStringLiteral("Pause") : QStringLiteral("Play")};
        result.skipForward = {playable, playable, QStringLiteral("goforward.15"), QStringLiteral("Skip 15 seconds forward")};
        result.record = {true, true, QString(), QStringLiteral("Start Recording")};
        return result;
    }

    result.face = Face::recording;
    const bool settled = input.recorderState == RecorderState::recording || input.recorderState == RecorderState::paused;
    const bool paused = input.recorderState == RecorderState::paused;
    result.pauseResume = {true, settled, paused ? QStringLiteral("play.circle.fill") : QStringLiteral("pause.circle.fill"),
                          paused ? QStringLiteral("Resume Recording") : QStringLiteral("Pause Recording")};
    result.stop = {true, settled, QString(), QStringLiteral("Stop and Save Recording")};
    result.done = {true, settled, QString(), QString()};
    result.stopShowsSpinner = input.recorderState == RecorderState::stopping;
    return result;
}

RecordAction recordAction(RecorderState state)
{
    switch (state) {
    case RecorderState::idle:
        return RecordAction::start;
    case RecorderState::recording:
    case RecorderState::paused:
        return RecordAction::stop;
    case RecorderState::starting:
    case RecorderState::stopping:
        break;
    }
    return RecordAction::none;
}

const QList<SpeedRow>& speedRows()
{
    static const QList<SpeedRow> rows{
        {QStringLiteral("0.75×"), 0.75f},
        {QStringLiteral("1.0× (Normal)"), 1.0f},
        {QStringLiteral("1.25×"), 1.25f},
        {QStringLiteral("1.5×"), 1.5f},
        {QStringLiteral("2.0×"), 2.0f},
    };
    return rows;
}

QString speedLabel(float rate)
{
    // The C library rounds a tie to even; QString::asprintf would round it up.
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.2g", static_cast<double>(rate));
    return QString::fromLatin1(digits) + QChar(0x00D7);
}

} // namespace TransportRules
