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
    bool isMergeModeActive = false;
    bool isMergeSource = false;  // the recording the merge started from
    bool isMergeSelected = false; // picked to be joined to it
    // Whole percent done of the run, once its engine gave a figure.
    std::optional<int> transcriptionPercent;
    std::optional<int> enhancementPercent;
};

// The line of the transcript around the first match of the search, with an
// ellipsis on each side that was cut; nothing without a match.
std::optional<QString> transcriptSnippet(const RecordingItem& item, const QString& query);

enum class Badge { enhancedAvailable, transcribing, enhancing };
QList<Badge> badges(const State& state);
// The words of a running badge: "Transcribing..." or "Enhancing...", with
// the run's figure beside them once there is one.
QString badgeText(Badge badge, const State& state);

Tint fill(const State& state);
TextWeight titleWeight(const State& state);

// The edge buttons disappear while renaming and are transparent until the
// row is hovered or selected.
bool showsRowButtons(const State& state);
double renameButtonOpacity(const State& state);
double exportButtonOpacity(const State& state);

// Clicks go to the rename field while it is open; in merge mode a double
// click renames nothing.
bool clickSelects(const State& state);
bool doubleClickRenames(const State& state);

// The check box at the leading edge in merge mode: a mark for the source,
// a box to tick for every other recording.
enum class MergeCheck { none, sourceMark, box };
MergeCheck mergeCheck(const State& state);
struct MergeCheckLook {
    QString symbol;
    Tint tint;
    QString toolTip;

    friend bool operator==(const MergeCheckLook&, const MergeCheckLook&) = default;
};
MergeCheckLook mergeCheckLook(const State& state);

enum class Action {
    rename,
    trim,
    startMerge,
    enhance,
    toggleEnhanced,
    cancelTranscription,
    cancelEnhancement,
    exportToDownloads,
    showInFileManager,
    remove,
};
QList<MenuEntry<Action>> contextMenu(const State& state);

} // namespace RecordingRowRules
