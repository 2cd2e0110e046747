#pragma once

#include "models/RecordingItem.h"
#include "views/logic/MenuEntry.h"
#include "views/logic/ViewColor.h"

#include <QList>
#include <QString>

#include <optional>

// The look and the commands of one saved recording in the library column.
namespace RecordingRowRules {

struct State {
    bool isSelected = false;
    bool isEditing = false;
    bool isTranscribing = false;
    bool isEnhancing = false;
    bool isPlayingEnhanced = false;
    bool hasEnhancedFile = false; // `enhancedFileName` is set
    bool isHovered = false;
};

// The line of the transcript around the first match of the search, with an
// ellipsis on each side that was cut; nothing without a match.
std::optional<QString> transcriptSnippet(const RecordingItem& item, const QString& query);

enum class Badge { enhancedAvailable, transcribing, enhancing };
QList<Badge> badges(const State& state);

Tint fill(const State& state);
TextWeight titleWeight(const State& state);

// The edge buttons disappear while renaming and are transparent until the
// row is hovered or selected.
bool showsRowButtons(const State& state);
double renameButtonOpacity(const State& state);
double exportButtonOpacity(const State& state);

// Clicks go to the rename field while it is open.
bool clickSelects(const State& state);
bool doubleClickRenames(const State& state);

enum class Action { rename, enhance, toggleEnhanced, exportToDownloads, showInFileManager, remove };
QList<MenuEntry<Action>> contextMenu(const State& state);

} // namespace RecordingRowRules
