#pragma once

#include "models/RecordingItem.h"

#include <QList>
#include <QString>

// The pure decisions of merging recordings: how many may be picked, in which
// order the audio is joined and what the result is called.
namespace MergeRules {

// Other recordings that can be joined to the one the merge started from.
constexpr int maxPicks = 5;

// The source and the picks, oldest first; equal dates keep the source first,
// then the picks in the order given.
QList<RecordingItem> joinedOrder(const RecordingItem& source, const QList<RecordingItem>& picked);

// "<source title> (Merged)", or " (Merged 2)", " (Merged 3)" ... while a
// recording of the library already carries the title in any letter case.
QString mergedTitle(const QString& sourceTitle, const QList<RecordingItem>& library);

} // namespace MergeRules
