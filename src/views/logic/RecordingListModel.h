#pragma once

#include "models/RecordingItem.h"
#include "views/logic/RecordingRowRules.h"

#include <QAbstractListModel>
#include <QHash>
#include <QSet>
#include <QUuid>

#include <optional>
#include <vector>

// The rows of the library column: the recording in progress first while it
// is shown, then the recordings of the filtered library in order, with the
// flags that decide each row's look. A new list is applied as the rows that
// left, came or changed, so the view keeps its scroll position and the row
// being renamed keeps its field.
class RecordingListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        IsActiveRole,        // the row of the recording in progress
        DetailRole,          // date and duration, or the elapsed time of the recording in progress
        QuoteRole,           // the transcript's quotation, or nothing
        SelectedRole,
        EditingRole,
        TranscribingRole,
        EnhancingRole,
        EnhancedFileRole,
        PausedRole,
        MergeRole,           // how the row takes part in merge mode (its check box and fill)
    };

    struct ActiveRow {
        QString title;
        double duration = 0;
        bool isPaused = false;
        bool isEditing = false;

        friend bool operator==(const ActiveRow&, const ActiveRow&) = default;
    };

    explicit RecordingListModel(QObject* parent = nullptr);

    void setRecordings(const QList<RecordingItem>& recordings);
    void setActiveRow(const std::optional<ActiveRow>& row);
    // The recording that looks selected (none while a recording runs).
    void setSelectedId(const std::optional<QUuid>& id);
    void setTranscribingIds(const QSet<QUuid>& ids);
    void setEnhancingIds(const QSet<QUuid>& ids);
    // Whole percent done of the runs, by recording.
    void setTranscriptionProgress(const QHash<QUuid, int>& percents);
    void setEnhancementProgress(const QHash<QUuid, int>& percents);
    void setPlayingEnhanced(bool playing);
    void setEditingId(const std::optional<QUuid>& id);
    void setSearchText(const QString& searchText);
    // Merge mode: the source the others join and the recordings picked.
    void setMergeState(bool active, const std::optional<QUuid>& sourceId, const QSet<QUuid>& pickedIds);

    // Direct reads for the delegate and the list, which ask for every row at each layout.
    bool hasActiveRow() const { return m_active.has_value(); }
    const std::optional<ActiveRow>& activeRow() const { return m_active; }
    bool isActiveRow(int row) const { return m_active && row == 0; }
    int recordingCount() const { return static_cast<int>(m_rows.size()); }
    const RecordingItem& recording(int row) const;
    std::optional<QUuid> idAt(int row) const;
    int rowOf(const QUuid& id) const; // -1 when not listed
    // The row's look; the pointer's hover is the view's to add.
    RecordingRowRules::State state(int row) const;
    bool isEditing(int row) const { return m_editingId && rowAt(row).item.id == *m_editingId; }
    bool hasQuote(int row) const;
    QString quote(int row) const;
    const QString& searchText() const { return m_searchText; }
    // A listed recording is being transcribed or enhanced (its badge spins).
    bool listsBusyRecordings() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Row {
        RecordingItem item;
        // The quotation, worked out when first asked for.
        mutable std::optional<bool> hasQuote;
        mutable std::optional<QString> quote;
    };

    int offset() const { return m_active ? 1 : 0; }
    const Row& rowAt(int row) const { return m_rows[static_cast<size_t>(row - offset())]; }
    void findQuotes() const;
    void applyChanges(const QList<RecordingItem>& recordings);
    bool applyMoves(const QList<RecordingItem>& recordings);
    void replaceAll(const QList<RecordingItem>& recordings);
    void rowChanged(int row, const QList<int>& roles);
    void rowChanged(const QUuid& id, const QList<int>& roles);
    void forgetPositions() { m_rowById.clear(); }

    std::vector<Row> m_rows;
    mutable QHash<QUuid, int> m_rowById; // built when first needed after a change of rows
    std::optional<ActiveRow> m_active;
    std::optional<QUuid> m_selectedId;
    std::optional<QUuid> m_editingId;
    QSet<QUuid> m_transcribing;
    QSet<QUuid> m_enhancing;
    void setProgress(QHash<QUuid, int>& held, const QHash<QUuid, int>& percents, int role);
    QHash<QUuid, int> m_transcriptionProgress;
    QHash<QUuid, int> m_enhancementProgress;
    bool m_playingEnhanced = false;
    QString m_searchText;
    bool m_mergeActive = false;
    std::optional<QUuid> m_mergeSourceId;
    QSet<QUuid> m_mergePicked;
};
