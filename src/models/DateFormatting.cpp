#include "models/DateFormatting.h"

#include <QDate>
#include <QDateTime>

#include <cmath>
#include <memory>
#include <mutex>

#include <unicode/datefmt.h>
#include <unicode/unistr.h>

namespace {

// ICU formatters are expensive to make and not safe to share between threads
// without a lock; one of each is made on first use.
std::mutex formatterMutex;

QString format(icu::DateFormat* formatter, const Date& date)
{
    if (!formatter)
        return date.toDateTime().toLocalTime().toString(Qt::ISODate);
    icu::UnicodeString text;
    {
        std::lock_guard lock(formatterMutex);
        formatter->format(static_cast<UDate>(date.unixSeconds() * 1000.0), text);
    }
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::DateFormat* shortTimeFormatter()
{
    static std::unique_ptr<icu::DateFormat> formatter(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort));
    return formatter.get();
}

icu::DateFormat* mediumDateFormatter()
{
    static std::unique_ptr<icu::DateFormat> formatter(
        icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kShort));
    return formatter.get();
}

} // namespace

namespace DateFormatting {

QString minutesAndSeconds(double seconds)
{
    // No recording lasts a negative time: an edited index gives dashes, not "0:-5".
    if (!std::isfinite(seconds) || seconds < 0 || seconds >= 9.2e18)
        return QStringLiteral("--:--");
    const long long total = std::llround(seconds);
    const long long minutes = total / 60;
    const long long rest = total - 60 * minutes;
    return QString::asprintf("%lld:%02lld", minutes, rest);
}

QString shortTime(const Date& date)
{
    return format(shortTimeFormatter(), date);
}

QString mediumDateTime(const Date& date)
{
    return format(mediumDateFormatter(), date);
}

QString relativeDate(const Date& date)
{
    const QDate day = date.toDateTime().toLocalTime().date();
    const QDate today = QDate::currentDate();
    if (day == today)
        return QStringLiteral("Today ") + shortTime(date);
    if (day == today.addDays(-1))
        return QStringLiteral("Yesterday ") + shortTime(date);
    return mediumDateTime(date);
}

} // namespace DateFormatting
