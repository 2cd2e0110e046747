#include "views/logic/TimeTexts.h"

#include <algorithm>
#include <cmath>

namespace TimeTexts {

namespace {

// Below 2^63 with room to multiply by ten for the tenths.
bool countable(double seconds)
{
    return std::isfinite(seconds) && std::fabs(seconds) < 9.2e17;
}

QString sign(double seconds)
{
    return seconds <= -1.0 ? QStringLiteral("-") : QString();
}

} // namespace

QString minutesSeconds(double seconds)
{
    if (!countable(seconds))
        return QStringLiteral("--:--");
    const long long whole = std::llabs(static_cast<long long>(seconds));
    return sign(seconds) + QString::asprintf("%lld:%02lld", whole / 60, whole % 60);
}

QString remaining(double duration, double position)
{
    // A stored duration below zero comes only from an edited index.
    if (duration < 0)
        return QStringLiteral("--:--");
    const double left = duration - position;
    if (!countable(left))
        return QStringLiteral("--:--");
    return QStringLiteral("-") + minutesSeconds(std::max(left, 0.0));
}

QString timer(double seconds)
{
    if (!countable(seconds))
        return QStringLiteral("--:--.-");
    const double magnitude = std::fabs(seconds);
    const long long whole = static_cast<long long>(magnitude);
    // From the tenths count itself: the fractional part alone loses a tenth to
    // rounding (8.7 - 8 is 0.6999...).
    const long long tenths = std::min(static_cast<long long>(magnitude * 10.0) - whole * 10, 9LL);
    const QString prefix = seconds <= -0.1 ? QStringLiteral("-") : QString();
    return prefix + QString::asprintf("%02lld:%02lld.%lld", whole / 60, whole % 60, std::max(tenths, 0LL));
}

} // namespace TimeTexts
