#pragma once

#include "models/TranscriptSegment.h"

#include <QList>
#include <QString>

// What a transcription yields: the plain text, its timed segments in order,
// and the spoken language's code in upper case ("EN"; empty when unknown).
struct Transcription {
    QString text;
    QList<TranscriptSegment> segments;
    QString language;

    // Adds one piece of recognised speech: spaces and tabs are trimmed from
    // both ends (line breaks stay), a piece with nothing left is dropped, and
    // the text joins the full text after one space.
    void appendSegment(double start, double end, const QString& rawText);

    // Keeps every segment inside a recording of `seconds`: whisper.cpp pads the
    // last window to 30 seconds and may place times in the padding.
    void clampTo(double seconds);
};
