#pragma once

#include "models/RecordingItem.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What a load takes out of the library, or changes as it reads it, kept beside
// the index as "recordings.json.removed-<UTC time>": a JSON array in the
// index's own form, holding each record as it stood in the index (for one
// that was mended or had its title cut) or as the load found it (for one the
// repair left out). Titles, transcripts and recaps take a model and minutes
// to make again; none is dropped without a copy.
class RemovedRecords {
public:
    RemovedRecords() = delete;

    struct Kept {
        QString fileName; // the side copy's name; empty when nothing needed keeping or it failed
        QString message;  // the one line for the status, empty when nothing needed keeping
        bool failed = false; // the copy could not be written: the index must not be replaced
    };

    // `originals` are records' texts from the index, `removed` records the
    // repair left out.
    static Kept keep(const QString& indexPath, const QList<QByteArray>& originals,
                     const QList<RecordingItem>& removed);
};
