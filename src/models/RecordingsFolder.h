#pragma once

#include "models/RecordingItem.h"

#include <QList>
#include <QString>

// Whether the recordings folder can be trusted for a repair: a folder that is
// missing, not a folder, or not readable (an unmounted disk, a dangling link,
// a permission) would make every recording look gone.
namespace RecordingsFolder {

// Empty when the folder lists; else why it does not.
QString problem(const QString& folder);

// True when the index lists recordings and not one of their files is in the
// folder (each gives "no such file"), as when the folder is the empty mount
// point of a disk that is not there.
bool missesEveryRecording(const QString& folder, const QList<RecordingItem>& indexed);

} // namespace RecordingsFolder
