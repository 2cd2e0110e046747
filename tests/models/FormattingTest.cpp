#include "models/DateFormatting.h"
#include "models/RecordingItem.h"

#include <QDate>
#include <QTimeZone>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

TEST(Formatting, DurationRoundsToWholeSecondsWithoutHours)
{
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "0:00"},
        {0.4, "0:00"},
        {0.5, "0:01"},
        {59.5, "1:00"},
        {65.4, "1:05"},
        {4500, "75:00"},
        {59 * 60 + 59.6, "60:00"},
        {std::numeric_limits<double>::quiet_NaN(), "--:--"},
        {-std::numeric_limits<double>::infinity(), "--:--"},
        {1e19, "--:--"},
        {-5, "--:--"}, // an edited index, never "0:-5"
        {-0.4, "--:--"},
    };
    for (const auto& c : cases) {
        RecordingItem item;
        item.duration = c.seconds;
        EXPECT_EQ(item.formattedDuration(), QLatin1String(c.text)) << c.seconds;
    }
}

TEST(Formatting, DateSaysTodayYesterdayOrTheMediumDate)
{
    // Local midnight plus a minute is always today and already past.
    const QDateTime todayEarly(QDate::currentDate(), QTime(0, 1));
    const QDateTime yesterday(QDate::currentDate().addDays(-1), QTime(23, 30));
    const QDateTime older(QDate(2024, 3, 5), QTime(14, 7));

    RecordingItem item;
    item.createdAt = Date::fromDateTime(todayEarly);
    EXPECT_EQ(item.formattedDate(), QStringLiteral("Today ") + DateFormatting::shortTime(item.createdAt));
    EXPECT_FALSE(DateFormatting::shortTime(item.createdAt).isEmpty());

    item.createdAt = Date::fromDateTime(yesterday);
    EXPECT_EQ(item.formattedDate(), QStringLiteral("Yesterday ") + DateFormatting::shortTime(item.createdAt));

    item.createdAt = Date::fromDateTime(older);
    const QString medium = item.formattedDate();
    EXPECT_EQ(medium, DateFormatting::mediumDateTime(item.createdAt));
    EXPECT_TRUE(medium.contains(QStringLiteral("2024"))) << medium.toStdString();
    EXPECT_TRUE(medium.contains(DateFormatting::shortTime(item.createdAt))) << medium.toStdString();
}
