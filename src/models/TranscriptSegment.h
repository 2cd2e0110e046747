#pragma once

#include <QHashFunctions>
#include <QString>
#include <QUuid>

#include <optional>

// One timed piece of a transcript, in seconds from the start of the recording.
struct TranscriptSegment {
    QUuid id;
    double start = 0;
    double end = 0;
    QString text;

    // The start as "%02d:%02d" minutes and seconds, truncated, with no hours.
    QString formattedTimestamp() const;

    friend bool operator==(const TranscriptSegment&, const TranscriptSegment&) = default;
};

// Its members move by a plain copy of their bytes, so a growing list of
// segments (thousands per transcript) moves them in one block.
Q_DECLARE_TYPEINFO(TranscriptSegment, Q_RELOCATABLE_TYPE);

size_t qHash(const TranscriptSegment& segment, size_t seed = 0) noexcept;
