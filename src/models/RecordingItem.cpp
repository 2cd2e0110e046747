#include "models/RecordingItem.h"

#include "models/DateFormatting.h"

RecordingType RecordingItem::effectiveRecordingType() const
{
    return recordingType.value_or(RecordingType::meeting);
}

QString RecordingItem::formattedDuration() const
{
    return DateFormatting::minutesAndSeconds(duration);
}

QString RecordingItem::formattedDate() const
{
    return DateFormatting::relativeDate(createdAt);
}
