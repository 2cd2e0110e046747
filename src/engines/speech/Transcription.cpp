#include "engines/speech/Transcription.h"

#include <QUuid>

#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimSpacesAndTabs(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

void Transcription::appendSegment(double start, double end, const QString& rawText)
{
    const QString trimmed = trimSpacesAndTabs(rawText);
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
