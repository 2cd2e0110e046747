#pragma once

#include <QString>

#include <optional>

// What an answer to a meeting notification asks of the meeting detector.
enum class MeetingAnswer { none, confirmStartRecording, dismissDetectedMeeting, confirmStopRecording, dismissMeetingEndPrompt };

namespace MeetingNotificationRouting {

// The two kinds of meeting notification and their actions.
inline const QString detectedCategory = QStringLiteral("MEETING_DETECTED");
inline const QString endedCategory = QStringLiteral("MEETING_ENDED");
inline const QString recordAction = QStringLiteral("ACTION_RECORD");
inline const QString dismissAction = QStringLiteral("ACTION_DISMISS");
inline const QString keepRecordingAction = QStringLiteral("ACTION_KEEP_RECORDING");
inline const QString stopSaveAction = QStringLiteral("ACTION_STOP_SAVE");
// The server's key for a click on the notification itself.
inline const QString defaultAction = QStringLiteral("default");

// The answer to an action of a notification of `category`; no action key
// means the user dismissed the notification. A detected meeting is recorded
// on anything but a dismissal; a recording is stopped only by "Stop Now".
MeetingAnswer answer(const QString& category, const std::optional<QString>& actionKey);

} // namespace MeetingNotificationRouting
