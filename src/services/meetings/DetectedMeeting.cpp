#include "services/meetings/DetectedMeeting.h"

QString DetectedMeeting::id() const
{
    return appName + meetingDetail.value_or(QString()) + windowTitle.value_or(QString());
}

QString DetectedMeeting::suggestedRecordingTitle() const
{
    if (meetingDetail && !meetingDetail->isEmpty())
        return appName + QStringLiteral(" - ") + *meetingDetail;
    return appName + QStringLiteral(" Call");
}
