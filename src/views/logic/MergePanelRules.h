#pragma once

#include "models/RecordingItem.h"
#include "views/logic/ViewColor.h"

#include <QList>
#include <QString>

// The texts and states of the library column's merge panel and of the
// question it asks before merging. `picked` counts the other recordings
// picked; the source always counts one more.
namespace MergePanelRules {

QString selectedCountText(qsizetype picked);
Tint selectedCountTint(qsizetype picked);

QString mergeButtonText(qsizetype picked);
bool mergeButtonEnabled(qsizetype picked, bool isMerging);

QString confirmationTitle(qsizetype picked);
// One line per recording, in the order given (oldest first).
QString confirmationMessage(const QList<RecordingItem>& joined);

} // namespace MergePanelRules
