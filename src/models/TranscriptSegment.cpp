#include "models/TranscriptSegment.h"

#include <cmath>

QString TranscriptSegment::formattedTimestamp() const
{
    // Edited index files can hold values no producer makes: no "00:-5", no overflow.
    if (!std::isfinite(start) || start < 0 || start >= 9.2e18)
        return QStringLiteral("--:--");
    const long long whole = static_cast<long long>(start);
    return QString::asprintf("%02lld:%02lld", whole / 60, whole % 60);
}

size_t qHash(const TranscriptSegment& segment, size_t seed) noexcept
{
    // +0.0 turns -0.0 into 0.0 so both zeros hash alike, as they compare equal.
    return qHashMulti(seed, segment.id, segment.start + 0.0, segment.end + 0.0, segment.text);
}
