#include "views/logic/SidebarRules.h"

#include "common/Text.h"

namespace SidebarRules {

QString headerTitle(bool isMergeModeActive)
{
    return isMergeModeActive ? QStringLiteral("Select other recordings") : QStringLiteral("All Recordings");
}

int headerCount(qsizetype recordingCount, RecorderState state)
{
    return static_cast<int>(recordingCount) + (state == RecorderState::idle ? 0 : 1);
}

bool showsEmptyState(bool filteredIsEmpty, RecorderState state)
{
    return filteredIsEmpty && state == RecorderState::idle;
}

EmptyStateText emptyStateText(bool libraryIsEmpty)
{
    if (libraryIsEmpty)
        return {QStringLiteral("No recordings yet"), QStringLiteral("Click the red record button below to start.")};
    return {QStringLiteral("No matches found"), QStringLiteral("Try a different search query.")};
}

QString activeRowTitle(const std::optional<QString>& activeRecordingTitle)
{
    return activeRecordingTitle.value_or(QStringLiteral("New Recording"));
}

bool showsActiveRow(RecorderState state, const std::optional<QString>& activeRecordingTitle, const QString& searchText)
{
    if (state == RecorderState::idle)
        return false;
    if (searchText.isEmpty())
        return true;
    return activeRecordingTitle.value_or(QString()).contains(searchText, Qt::CaseInsensitive);
}

bool isRowSelected(RecorderState state, const std::optional<QUuid>& selectedId, const QUuid& rowId)
{
    return state == RecorderState::idle && selectedId == rowId;
}

RowClick rowClick(RecorderState state, bool isTrimmingActive, bool isMergeModeActive, bool isMergeSource)
{
    const bool idle = state == RecorderState::idle;
    if (isMergeModeActive)
        return {isTrimmingActive, false, idle && !isMergeSource};
    return {isTrimmingActive, idle, false};
}

std::optional<QString> libraryRenameTitle(const QString& typed)
{
    return Text::typedTitle(typed);
}

std::optional<QString> activeRenameTitle(const QString& typed)
{
    const QString title = typed.trimmed();
    if (title.isEmpty())
        return std::nullopt;
    return title;
}

} // namespace SidebarRules
