#include "common/Date.h"

#include <chrono>
#include <cmath>

Date Date::fromDateTime(const QDateTime& dateTime)
{
    return fromUnixSeconds(static_cast<double>(dateTime.toMSecsSinceEpoch()) / 1000.0);
}

Date Date::now()
{
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<microseconds>(system_clock::now().time_since_epoch());
    return fromUnixSeconds(static_cast<double>(sinceEpoch.count()) / 1e6);
}

QDateTime Date::toDateTime() const
{
    const double ms = std::round(unixSeconds() * 1000.0);
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ms));
}
