#include "common/Date.h"

#include <algorithm>
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
    // A hand-edited index can hold any finite number; keep the conversion defined.
    constexpr double limit = 8.64e18; // about 273 million years, within qint64
    double ms = std::round(unixSeconds() * 1000.0);
    if (!std::isfinite(ms))
        ms = 0;
    ms = std::clamp(ms, -limit, limit);
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ms));
}
