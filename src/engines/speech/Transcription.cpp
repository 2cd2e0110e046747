#include "engines/speech/Transcription.h"

#include "common/Text.h"

#include <QUuid>

#include <algorithm>

void Transcription::appendSegment(double start, double end, const QString& rawText)
{
    const QString trimmed = Text::trimSpacesAndTabs(rawText);
    if (trimmed.isEmpty())
        return;
    segments.append(TranscriptSegment{QUuid::createUuid(), start, end, trimmed});
    if (!text.isEmpty())
        text += QLatin1Char(' ');
    text += trimmed;
}

void Transcription::clampTo(double seconds)
{
    if (!(seconds >= 0))
        return; // unknown length
    for (TranscriptSegment& segment : segments) {
        segment.start = std::clamp(segment.start, 0.0, seconds);
        segment.end = std::clamp(segment.end, segment.start, seconds);
    }
}
