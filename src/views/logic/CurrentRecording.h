#pragma once

#include "models/RecordingItem.h"

#include <QList>

#include <optional>

// A pane built for one recording shows its newest version: the library's
// entry with the same id, else the selection, else the pane's own copy, so
// renames, transcripts and recaps show at once and a deleted entry still shows.
namespace CurrentRecording {

RecordingItem resolve(const QList<RecordingItem>& recordings, const std::optional<RecordingItem>& selected,
                      const RecordingItem& own);

} // namespace CurrentRecording
