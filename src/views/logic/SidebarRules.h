#pragma once

#include "models/RecorderState.h"

#include <QString>
#include <QUuid>

#include <optional>

// What the library column shows: header, empty state, the row of the recording
// in progress, which row looks selected, and what a rename commits.
namespace SidebarRules {

// "Select other recordings" while merge mode asks for picks.
QString headerTitle(bool isMergeModeActive = false);

// The whole library, not the filtered list, plus the recording in progress.
int headerCount(qsizetype recordingCount, RecorderState state);

// The empty state only while idle: a running recording keeps its row visible.
bool showsEmptyState(bool filteredIsEmpty, RecorderState state);

struct EmptyStateText {
    QString title;
    QString subtitle;

    friend bool operator==(const EmptyStateText&, const EmptyStateText&) = default;
};
EmptyStateText emptyStateText(bool libraryIsEmpty);

QString activeRowTitle(const std::optional<QString>& activeRecordingTitle);

// While a recording runs, filtered like the library by its title; an absent
// title matches no search.
bool showsActiveRow(RecorderState state, const std::optional<QString>& activeRecordingTitle, const QString& searchText);

// Saved rows never look selected while a recording is in progress.
bool isRowSelected(RecorderState state, const std::optional<QUuid>& selectedId, const QUuid& rowId);

// What a click on a saved row does after it has taken the focus from the search.
// In merge mode it picks or unpicks the row instead of selecting it, and the
// source's row does nothing.
struct RowClick {
    bool cancelTrimming = false;
    bool select = false;
    bool toggleMerge = false;

    friend bool operator==(const RowClick&, const RowClick&) = default;
};
RowClick rowClick(RecorderState state, bool isTrimmingActive, bool isMergeModeActive = false,
                  bool isMergeSource = false);

// The title to rename to, or nothing when the field holds only blanks.
// A saved recording's field keeps its line breaks; the running one's does not.
std::optional<QString> libraryRenameTitle(const QString& typed);
std::optional<QString> activeRenameTitle(const QString& typed);

} // namespace SidebarRules
