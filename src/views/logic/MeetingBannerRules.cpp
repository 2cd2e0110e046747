#include "views/logic/MeetingBannerRules.h"

namespace MeetingBannerRules {

Content content(const QString& meetingTitle, bool isEndPrompt, std::optional<int> countdownSeconds)
{
    if (isEndPrompt) {
        return {QStringLiteral("phone.down.fill"),
                Tint{ColorRole::orange},
                QStringLiteral("Meeting Ended"),
                meetingTitle,
                endDetail(countdownSeconds),
                Tint{ColorRole::orange},
                QStringLiteral("stop.fill"),
                QStringLiteral("Stop & Save"),
                Tint{ColorRole::red},
                QStringLiteral("Keep Recording")};
    }
    return {QStringLiteral("video.badge.waveform"),
            Tint{ColorRole::accent},
            QStringLiteral("Meeting Detected"),
            meetingTitle,
            QStringLiteral("Start capturing meeting audio and generating transcripts & recap?"),
            Tint{ColorRole::secondary},
            QStringLiteral("record.circle"),
            QStringLiteral("Record"),
            Tint{ColorRole::accent},
            QStringLiteral("Dismiss")};
}

QString endDetail(std::optional<int> countdownSeconds)
{
    return QStringLiteral("Call finished. Auto-stopping & saving in %1s...")
        .arg(countdownSeconds.value_or(defaultCountdownSeconds));
}

bool showsDetectedBanner(bool hasDetectedMeeting, RecorderState state)
{
    return hasDetectedMeeting && state == RecorderState::idle;
}

bool showsEndBanner(bool hasEndPrompt, RecorderState state)
{
    return hasEndPrompt && (state == RecorderState::recording || state == RecorderState::paused);
}

} // namespace MeetingBannerRules
