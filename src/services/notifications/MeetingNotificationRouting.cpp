#include "services/notifications/MeetingNotificationRouting.h"

namespace MeetingNotificationRouting {

MeetingAnswer answer(const QString& category, const std::optional<QString>& actionKey)
{
    if (category == detectedCategory) {
        if (!actionKey || *actionKey == dismissAction)
            return MeetingAnswer::dismissDetectedMeeting;
        return MeetingAnswer::confirmStartRecording;
    }
    if (category == endedCategory) {
        if (actionKey && *actionKey == stopSaveAction)
            return MeetingAnswer::confirmStopRecording;
        return MeetingAnswer::dismissMeetingEndPrompt;
    }
    return MeetingAnswer::none;
}

} // namespace MeetingNotificationRouting
