#include "models/RemovedRecords.h"

#include "common/ConsoleLine.h"
#include "models/IndexCodec.h"
#include "models/IndexFile.h"

namespace {

QString recordings(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 recording") : QStringLiteral("%1 recordings").arg(count);
}

} // namespace

RemovedRecords::Kept RemovedRecords::keep(const QString& indexPath, const QList<QByteArray>& originals,
                                          const QList<RecordingItem>& removed)
{
    Kept kept;
    if (originals.isEmpty() && removed.isEmpty())
        return kept;

    QByteArray text("[");
    qsizetype size = 2;
    for (const QByteArray& original : originals)
        size += original.size() + 1;
    text.reserve(size);
    for (const QByteArray& original : originals) {
        if (text.size() > 1)
            text.append(',');
        text.append(original);
    }
    for (const RecordingItem& item : removed) {
        if (text.size() > 1)
            text.append(',');
        text.append(IndexCodec::encodeRecord(item));
    }
    text.append(']');

    QString what;
    if (!removed.isEmpty() && !originals.isEmpty())
        what = QStringLiteral("%1 taken out of the library and %2 mended")
                   .arg(recordings(removed.size()), recordings(originals.size()));
    else if (!removed.isEmpty())
        what = recordings(removed.size()) + QStringLiteral(" taken out of the library");
    else
        what = recordings(originals.size()) + QStringLiteral(" mended as the library loaded");

    kept.fileName = IndexFile::writeAside(indexPath, text, QStringLiteral("removed"));
    kept.failed = kept.fileName.isEmpty();
    kept.message = kept.failed
        ? what + QStringLiteral("; the copy of their text could not be written, so the index is left as it is")
        : what + QStringLiteral("; their text is kept in ") + kept.fileName;
    ConsoleLine::print(QStringLiteral("[RecordingsStorage] ") + kept.message);
    return kept;
}
