#include "viewmodels/TrimRules.h"

#include "common/ScratchFileName.h"

#include <QStringList>
#include <QUuid>

#include <algorithm>

namespace TrimRules {

bool keepsEverything(double start, double end, double duration)
{
    // Handles at the very edges may stand a hair inside them.
    constexpr double edge = 0.01;
    return start <= edge && end >= duration - edge;
}

bool isLongEnough(double start, double end)
{
    return end - start >= minimumRange - rangeTolerance;
}

Transcript retime(const std::optional<QList<TranscriptSegment>>& segments, double start, double end,
                  double newDuration)
{
    if (!segments)
        return {};
    QList<TranscriptSegment> kept;
    QStringList texts;
    for (const TranscriptSegment& segment : *segments) {
        if (!(start < segment.end && segment.start < end))
            continue;
        TranscriptSegment moved;
        moved.id = QUuid::createUuid();
        moved.start = std::max(segment.start - start, 0.0);
        moved.end = std::min(segment.end - start, newDuration);
        moved.text = segment.text;
        kept.append(moved);
        texts.append(segment.text);
    }
    if (kept.isEmpty())
        return {};
    return {kept, texts.join(QLatin1Char(' '))};
}

QString temporaryFileName()
{
    return ScratchFileName::make(ScratchFileName::Kind::trim);
}

} // namespace TrimRules
