#include "views/logic/RecordingListModel.h"

#include "common/SearchMemory.h"
#include "common/TextSearch.h"
#include "models/RecordingItemSharing.h"
#include "views/logic/ActiveRowRules.h"

namespace {

// Above this many separate runs of rows leaving or coming (a search that
// thins the whole list), one reset costs the view less than the runs would.
constexpr int mostRunsApplied = 64;

// What a row shows of its recording and is told again when it changes.
QList<int> shownChanges(const RecordingItem& before, const RecordingItem& after)
{
    QList<int> roles;
    if (before.title != after.title)
        roles << Qt::DisplayRole;
    if (before.createdAt != after.createdAt || before.duration != after.duration)
        roles << RecordingListModel::DetailRole;
    if (before.enhancedFileName.has_value() != after.enhancedFileName.has_value())
        roles << RecordingListModel::EnhancedFileRole;
    if (before.transcript != after.transcript)
        roles << RecordingListModel::QuoteRole;
    return roles;
}

} // namespace

RecordingListModel::RecordingListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

const RecordingItem& RecordingListModel::recording(int row) const
{
    return rowAt(row).item;
}

std::optional<QUuid> RecordingListModel::idAt(int row) const
{
    if (row < offset() || row >= rowCount())
        return std::nullopt;
    return rowAt(row).item.id;
}

int RecordingListModel::rowOf(const QUuid& id) const
{
    if (m_rowById.isEmpty() && !m_rows.empty()) {
        m_rowById.reserve(static_cast<qsizetype>(m_rows.size()));
        for (size_t i = 0; i < m_rows.size(); ++i)
            m_rowById.insert(m_rows[i].item.id, static_cast<int>(i));
    }
    const auto found = m_rowById.constFind(id);
    return found == m_rowById.cend() ? -1 : *found + offset();
}

RecordingRowRules::State RecordingListModel::state(int row) const
{
    const RecordingItem& item = rowAt(row).item;
    RecordingRowRules::State state;
    state.isSelected = m_selectedId == item.id;
    state.isEditing = m_editingId == item.id;
    state.isTranscribing = m_transcribing.contains(item.id);
    state.isEnhancing = m_enhancing.contains(item.id);
    if (const auto percent = m_transcriptionProgress.constFind(item.id); percent != m_transcriptionProgress.constEnd())
        state.transcriptionPercent = *percent;
    if (const auto percent = m_enhancementProgress.constFind(item.id); percent != m_enhancementProgress.constEnd())
        state.enhancementPercent = *percent;
    state.isPlayingEnhanced = m_playingEnhanced;
    state.hasEnhancedFile = item.enhancedFileName.has_value();
    state.isMergeModeActive = m_mergeActive;
    state.isMergeSource = m_mergeActive && m_mergeSourceId == item.id;
    state.isMergeSelected = m_mergeActive && m_mergePicked.contains(item.id);
    return state;
}

bool RecordingListModel::listsBusyRecordings() const
{
    for (const QSet<QUuid>* ids : {&m_transcribing, &m_enhancing}) {
        for (const QUuid& id : *ids) {
            if (rowOf(id) >= 0)
                return true;
        }
    }
    return false;
}

bool RecordingListModel::hasQuote(int row) const
{
    const Row& entry = rowAt(row);
    if (!entry.hasQuote)
        findQuotes();
    return *entry.hasQuote;
}

void RecordingListModel::findQuotes() const
{
    // The list's layout asks every row in turn: all rows not known yet are
    // looked at at once, those the earlier searches cannot answer on the
    // thread pool. The same test as the quotation's own, without cutting the
    // excerpt.
    const QString needle = m_searchText.trimmed();
    SearchMemory& memory = SearchMemory::shared();
    std::vector<size_t> unknown;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if (row.hasQuote)
            continue;
        if (needle.isEmpty() || !row.item.transcript) {
            row.hasQuote = false;
            continue;
        }
        if (memory.recall(*row.item.transcript, needle) == SearchMemory::Answer::lacks)
            row.hasQuote = false;
        else
            unknown.push_back(i);
    }
    const std::vector<char> found = TextSearch::testEach(static_cast<qsizetype>(unknown.size()), [&](qsizetype k) {
        return TextSearch::containsIgnoringCase(*m_rows[unknown[static_cast<size_t>(k)]].item.transcript, needle);
    });
    for (size_t k = 0; k < unknown.size(); ++k) {
        const Row& row = m_rows[unknown[k]];
        row.hasQuote = found[k] != 0;
        if (!*row.hasQuote)
            memory.learnLacks(*row.item.transcript, needle);
    }
}

QString RecordingListModel::quote(int row) const
{
    const Row& entry = rowAt(row);
    if (!hasQuote(row))
        return {};
    if (!entry.quote)
        entry.quote = RecordingRowRules::transcriptSnippet(entry.item, m_searchText).value_or(QString());
    return *entry.quote;
}

// --- Rows ---

void RecordingListModel::setRecordings(const QList<RecordingItem>& recordings)
{
    bool sameRows = static_cast<qsizetype>(m_rows.size()) == recordings.size();
    for (qsizetype i = 0; sameRows && i < recordings.size(); ++i)
        sameRows = m_rows[static_cast<size_t>(i)].item.id == recordings[i].id;
    if (sameRows) {
        applyChanges(recordings);
        return;
    }
    if (!applyMoves(recordings))
        replaceAll(recordings);
}

void RecordingListModel::applyChanges(const QList<RecordingItem>& recordings)
{
    for (qsizetype i = 0; i < recordings.size(); ++i) {
        Row& row = m_rows[static_cast<size_t>(i)];
        const RecordingItem& next = recordings[i];
        if (sharesAllData(row.item, next))
            continue;
        const QList<int> roles = shownChanges(row.item, next);
        row.item = next;
        if (roles.contains(QuoteRole)) {
            row.hasQuote.reset();
            row.quote.reset();
        }
        if (!roles.isEmpty())
            rowChanged(static_cast<int>(i) + offset(), roles);
    }
}

bool RecordingListModel::applyMoves(const QList<RecordingItem>& recordings)
{
    QHash<QUuid, qsizetype> wanted;
    wanted.reserve(recordings.size());
    for (qsizetype i = 0; i < recordings.size(); ++i)
        wanted.insert(recordings[i].id, i);
    if (wanted.size() != recordings.size())
        return false;

    // The rows that stay must keep their order; count the runs that leave.
    std::vector<bool> stays(m_rows.size());
    std::vector<bool> known(static_cast<size_t>(recordings.size()));
    qsizetype last = -1;
    int runs = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const auto found = wanted.constFind(m_rows[i].item.id);
        stays[i] = found != wanted.cend();
        if (stays[i]) {
            if (*found <= last)
                return false;
            last = *found;
            known[static_cast<size_t>(*found)] = true;
        } else if (i == 0 || stays[i - 1]) {
            ++runs;
        }
    }
    for (size_t i = 0; i < known.size(); ++i) {
        if (!known[i] && (i == 0 || known[i - 1]))
            ++runs;
    }
    if (runs > mostRunsApplied)
        return false;

    // Rows that left, from the end so the earlier positions hold.
    for (size_t end = m_rows.size(); end > 0;) {
        if (stays[end - 1]) {
            --end;
            continue;
        }
        size_t start = end - 1;
        while (start > 0 && !stays[start - 1])
            --start;
        beginRemoveRows({}, static_cast<int>(start) + offset(), static_cast<int>(end - 1) + offset());
        m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(start),
                     m_rows.begin() + static_cast<std::ptrdiff_t>(end));
        forgetPositions();
        endRemoveRows();
        end = start;
    }

    // Rows that came, run by run, between the rows that stayed.
    size_t at = 0;
    for (size_t i = 0; i < known.size();) {
        if (known[i]) {
            ++at;
            ++i;
            continue;
        }
        size_t runEnd = i;
        while (runEnd < known.size() && !known[runEnd])
            ++runEnd;
        const size_t count = runEnd - i;
        beginInsertRows({}, static_cast<int>(at) + offset(), static_cast<int>(at + count) - 1 + offset());
        std::vector<Row> added;
        added.reserve(count);
        for (size_t k = i; k < runEnd; ++k)
            added.push_back(Row{recordings[static_cast<qsizetype>(k)], {}, {}});
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(added.begin()),
                      std::make_move_iterator(added.end()));
        forgetPositions();
        endInsertRows();
        at += count;
        i = runEnd;
    }
    applyChanges(recordings);
    return true;
}

void RecordingListModel::replaceAll(const QList<RecordingItem>& recordings)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(static_cast<size_t>(recordings.size()));
    for (const RecordingItem& item : recordings)
        m_rows.push_back(Row{item, {}, {}});
    forgetPositions();
    endResetModel();
}

void RecordingListModel::setActiveRow(const std::optional<ActiveRow>& row)
{
    if (row == m_active)
        return;
    if (row && !m_active) {
        beginInsertRows({}, 0, 0);
        m_active = row;
        endInsertRows();
        return;
    }
    if (!row) {
        beginRemoveRows({}, 0, 0);
        m_active.reset();
        endRemoveRows();
        return;
    }
    QList<int> roles;
    if (row->title != m_active->title)
        roles << Qt::DisplayRole;
    // The duration changes ten times a second; its text once a second.
    if (ActiveRowRules::formattedDuration(row->duration) != ActiveRowRules::formattedDuration(m_active->duration))
        roles << DetailRole;
    if (row->isPaused != m_active->isPaused)
        roles << PausedRole;
    if (row->isEditing != m_active->isEditing)
        roles << EditingRole;
    m_active = row;
    rowChanged(0, roles);
}

// --- Flags ---

void RecordingListModel::setSelectedId(const std::optional<QUuid>& id)
{
    if (id == m_selectedId)
        return;
    const auto before = m_selectedId;
    m_selectedId = id;
    if (before)
        rowChanged(*before, {SelectedRole});
    if (id)
        rowChanged(*id, {SelectedRole});
}

void RecordingListModel::setEditingId(const std::optional<QUuid>& id)
{
    if (id == m_editingId)
        return;
    const auto before = m_editingId;
    m_editingId = id;
    if (before)
        rowChanged(*before, {EditingRole});
    if (id)
        rowChanged(*id, {EditingRole});
}

void RecordingListModel::setTranscribingIds(const QSet<QUuid>& ids)
{
    if (ids == m_transcribing)
        return;
    const QSet<QUuid> touched = (ids - m_transcribing) + (m_transcribing - ids);
    m_transcribing = ids;
    for (const QUuid& id : touched)
        rowChanged(id, {TranscribingRole});
}

void RecordingListModel::setEnhancingIds(const QSet<QUuid>& ids)
{
    if (ids == m_enhancing)
        return;
    const QSet<QUuid> touched = (ids - m_enhancing) + (m_enhancing - ids);
    m_enhancing = ids;
    for (const QUuid& id : touched)
        rowChanged(id, {EnhancingRole});
}

void RecordingListModel::setTranscriptionProgress(const QHash<QUuid, int>& percents)
{
    setProgress(m_transcriptionProgress, percents, TranscribingRole);
}

void RecordingListModel::setEnhancementProgress(const QHash<QUuid, int>& percents)
{
    setProgress(m_enhancementProgress, percents, EnhancingRole);
}

void RecordingListModel::setProgress(QHash<QUuid, int>& held, const QHash<QUuid, int>& percents, int role)
{
    if (percents == held)
        return;
    // Only the rows whose figure came, went or moved are painted again.
    QSet<QUuid> touched;
    for (auto it = percents.constBegin(); it != percents.constEnd(); ++it) {
        if (held.value(it.key(), -1) != it.value())
            touched.insert(it.key());
    }
    for (auto it = held.constBegin(); it != held.constEnd(); ++it) {
        if (!percents.contains(it.key()))
            touched.insert(it.key());
    }
    held = percents;
    for (const QUuid& id : touched)
        rowChanged(id, {role});
}

void RecordingListModel::setPlayingEnhanced(bool playing)
{
    // Only the context menu reads it; no row looks different.
    m_playingEnhanced = playing;
}

void RecordingListModel::setSearchText(const QString& searchText)
{
    if (searchText == m_searchText)
        return;
    // A transcript without the old query has none of a longer one that holds
    // it, and one with the old query has any shorter part of it: as the user
    // types or deletes, only the other rows are looked at again.
    const QString before = m_searchText.trimmed();
    const QString after = searchText.trimmed();
    const bool narrower = !before.isEmpty() && TextSearch::containsIgnoringCase(after, before);
    const bool wider = !after.isEmpty() && TextSearch::containsIgnoringCase(before, after);
    m_searchText = searchText;
    for (Row& row : m_rows) {
        const bool stays = row.hasQuote && ((narrower && !*row.hasQuote) || (wider && *row.hasQuote));
        if (!stays)
            row.hasQuote.reset();
        row.quote.reset();
    }
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(offset()), index(rowCount() - 1), {QuoteRole});
}

void RecordingListModel::setMergeState(bool active, const std::optional<QUuid>& sourceId, const QSet<QUuid>& pickedIds)
{
    if (active == m_mergeActive && sourceId == m_mergeSourceId && pickedIds == m_mergePicked)
        return;
    const bool everyRow = active != m_mergeActive;
    QSet<QUuid> touched = (pickedIds - m_mergePicked) + (m_mergePicked - pickedIds);
    if (m_mergeSourceId)
        touched.insert(*m_mergeSourceId);
    if (sourceId)
        touched.insert(*sourceId);
    m_mergeActive = active;
    m_mergeSourceId = sourceId;
    m_mergePicked = pickedIds;
    // Entering or leaving the mode changes every row: the check box comes or goes.
    if (everyRow) {
        if (!m_rows.empty())
            Q_EMIT dataChanged(index(offset()), index(rowCount() - 1), {MergeRole});
        return;
    }
    for (const QUuid& id : touched)
        rowChanged(id, {MergeRole});
}

void RecordingListModel::rowChanged(int row, const QList<int>& roles)
{
    if (roles.isEmpty())
        return;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, roles);
}

void RecordingListModel::rowChanged(const QUuid& id, const QList<int>& roles)
{
    const int row = rowOf(id);
    if (row >= 0)
        rowChanged(row, roles);
}

// --- Item model ---

int RecordingListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_rows.size()) + offset();
}

QVariant RecordingListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    if (isActiveRow(row)) {
        switch (role) {
        case Qt::DisplayRole:
            return m_active->title;
        case IsActiveRole:
        case SelectedRole:
            return true;
        case DetailRole:
            return ActiveRowRules::formattedDuration(m_active->duration);
        case PausedRole:
            return m_active->isPaused;
        case EditingRole:
            return m_active->isEditing;
        default:
            return {};
        }
    }
    const RecordingItem& item = recording(row);
    const RecordingRowRules::State flags = state(row);
    switch (role) {
    case Qt::DisplayRole:
        return item.title;
    case IdRole:
        return item.id;
    case IsActiveRole:
        return false;
    case DetailRole:
        return QStringList{item.formattedDate(), item.formattedDuration()};
    case QuoteRole:
        return hasQuote(row) ? QVariant(quote(row)) : QVariant();
    case SelectedRole:
        return flags.isSelected;
    case EditingRole:
        return flags.isEditing;
    case TranscribingRole:
        return flags.isTranscribing;
    case EnhancingRole:
        return flags.isEnhancing;
    case EnhancedFileRole:
        return flags.hasEnhancedFile;
    case MergeRole:
        if (!flags.isMergeModeActive)
            return {};
        return flags.isMergeSource ? QStringLiteral("source")
            : flags.isMergeSelected ? QStringLiteral("picked")
                                    : QStringLiteral("unpicked");
    default:
        return {};
    }
}

QHash<int, QByteArray> RecordingListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert({{IdRole, "id"},
                  {IsActiveRole, "isActive"},
                  {DetailRole, "detail"},
                  {QuoteRole, "quote"},
                  {SelectedRole, "selected"},
                  {EditingRole, "editing"},
                  {TranscribingRole, "transcribing"},
                  {EnhancingRole, "enhancing"},
                  {EnhancedFileRole, "enhancedFile"},
                  {PausedRole, "paused"},
                  {MergeRole, "merge"}});
    return names;
}
