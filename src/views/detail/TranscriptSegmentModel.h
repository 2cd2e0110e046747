#pragma once

#include "models/TranscriptSegment.h"
#include "views/logic/SearchMatcher.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QUuid>

#include <optional>
#include <vector>

// The timed segments of one transcript as list rows, with the flags that
// decide a row's look: the active segment (the one playback is in), the row
// under the pointer, the rows matching the search and whether playback runs.
// Changing a flag touches only the rows it concerns.
class TranscriptSegmentModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        TimestampRole = Qt::UserRole + 1,
        ActiveRole,
        MatchingRole,
        PlayingRole,
        HoveredRole,
        IdRole,
    };

    explicit TranscriptSegmentModel(QObject* parent = nullptr);

    void setSegments(const QList<TranscriptSegment>& segments);
    const QList<TranscriptSegment>& segments() const { return m_segments; }

    void setActiveSegmentId(const std::optional<QUuid>& id);
    const std::optional<QUuid>& activeSegmentId() const { return m_activeId; }
    void setHoveredSegmentId(const std::optional<QUuid>& id);
    const std::optional<QUuid>& hoveredSegmentId() const { return m_hoveredId; }
    void setPlaying(bool playing);
    void setSearch(const SearchMatcher& matcher);

    int rowOf(const QUuid& id) const;
    // Direct reads for the row delegate, which asks for every row at each layout.
    const TranscriptSegment& segment(int row) const { return m_segments.at(row); }
    bool isActive(int row) const { return m_activeId && m_segments.at(row).id == *m_activeId; }
    bool isHovered(int row) const { return m_hoveredId && m_segments.at(row).id == *m_hoveredId; }
    bool isMatching(int row) const { return m_matching[static_cast<size_t>(row)]; }
    bool isPlaying() const { return m_playing; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void rowChanged(int row);

    QList<TranscriptSegment> m_segments;
    QHash<QUuid, int> m_rowById;
    std::vector<bool> m_matching;
    SearchMatcher m_matcher;
    std::optional<QUuid> m_activeId;
    std::optional<QUuid> m_hoveredId;
    bool m_playing = false;
};
