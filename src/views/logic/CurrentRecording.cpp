#include "views/logic/CurrentRecording.h"

namespace CurrentRecording {

RecordingItem resolve(const QList<RecordingItem>& recordings, const std::optional<RecordingItem>& selected,
                      const RecordingItem& own)
{
    for (const RecordingItem& entry : recordings) {
        if (entry.id == own.id)
            return entry;
    }
    if (selected)
        return *selected;
    return own;
}

} // namespace CurrentRecording
