#pragma once

#include "models/RecordingItem.h"

#include <QList>
#include <QString>
#include <QStringList>

// The library index as a load reads it, with whatever it could not read kept
// beside it as "recordings.json.corrupt-<UTC time>": a record that does not
// decode is copied there alone and the others load; an index that is not one
// whole JSON array is copied there whole (what precedes the damage still
// loads); one that is no regular file, or cannot be read, is moved there.
struct IndexReading {
    QList<RecordingItem> records;
    // The text of each record that loaded only mended or with its title cut,
    // as it stood in the file: it belongs in a side copy before the index is
    // replaced.
    QList<QByteArray> originals;
    // What the user should hear about it, for the status line.
    QStringList messages;
    // Cleared when something unreadable could not be kept aside: the index
    // must then not be replaced.
    bool mayReplace = true;

    static IndexReading read(const QString& path);
};
