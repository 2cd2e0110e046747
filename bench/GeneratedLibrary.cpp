#include "GeneratedLibrary.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QUuid>

QList<RecordingItem> generatedLibrary(const LibraryShape& shape)
{
    static const QStringList words = QStringLiteral(
        "we should ship the release on friday after the review and then plan next sprint budget "
        "customer feedback looks good overall but latency needs work before launch")
                                         .split(QLatin1Char(' '));
    QRandomGenerator random(42);
    QList<RecordingItem> items;
    items.reserve(shape.recordings);
    for (int i = 0; i < shape.recordings; ++i) {
        RecordingItem item;
        item.id = QUuid::createUuid();
        item.title = QStringLiteral("Meeting %1").arg(i);
        item.fileName = QStringLiteral("Meeting %1_%2.mp3").arg(i).arg(1600000000 + i * 3600);
        item.createdAt = Date::fromUnixSeconds(1600000000.0 + i * 3600.0 + random.generateDouble());
        item.duration = shape.shortestSeconds + random.generateDouble() * (shape.longestSeconds - shape.shortestSeconds);
        item.fileSizeBytes = qint64(item.duration * 24000);
        for (int bar = 0; bar < shape.bars; ++bar)
            item.waveformSamples.append(float(random.generateDouble()));
        QList<TranscriptSegment> segments;
        double start = 0;
        for (int s = 0; s < shape.segments; ++s) {
            QStringList sentence;
            const int count = 5 + int(random.bounded(8));
            for (int w = 0; w < count; ++w)
                sentence.append(words[int(random.bounded(words.size()))]);
            const double end = start + 1 + random.generateDouble() * 6;
            segments.append({QUuid::createUuid(), start, end, sentence.join(QLatin1Char(' '))});
            start = end;
        }
        if (shape.transcriptText && !segments.isEmpty()) {
            QStringList texts;
            for (const TranscriptSegment& segment : segments)
                texts.append(segment.text);
            item.transcript = texts.join(QLatin1Char(' '));
        }
        item.transcriptSegments = segments;
        items.append(std::move(item));
    }
    return items;
}
