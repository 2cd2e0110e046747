#pragma once

#include "common/Date.h"

#include <QString>

// Formatting of durations and dates shown beside recordings.
namespace DateFormatting {

// "%d:%02d" after rounding to the nearest second (halves away from zero);
// minutes are never folded into hours. Negative, non-finite or absurd values
// give "--:--".
QString minutesAndSeconds(double seconds);

// "Today " or "Yesterday " and the short time, else the medium date and short
// time, in the user's locale, calendar and time zone.
QString relativeDate(const Date& date);

// The user's short time style alone, and the medium date with short time.
QString shortTime(const Date& date);
QString mediumDateTime(const Date& date);

} // namespace DateFormatting
