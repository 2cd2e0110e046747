#include "views/detail/TranscriptSegmentModel.h"

TranscriptSegmentModel::TranscriptSegmentModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void TranscriptSegmentModel::setSegments(const QList<TranscriptSegment>& segments)
{
    beginResetModel();
    m_segments = segments;
    m_rowById.clear();
    m_rowById.reserve(m_segments.size());
    m_matching.assign(static_cast<size_t>(m_segments.size()), false);
    for (int row = 0; row < m_segments.size(); ++row) {
        // The first of duplicate ids wins, as a scroll to it would.
        if (!m_rowById.contains(m_segments.at(row).id))
            m_rowById.insert(m_segments.at(row).id, row);
        m_matching[static_cast<size_t>(row)] = m_matcher.matches(m_segments.at(row).text);
    }
    endResetModel();
}

void TranscriptSegmentModel::setActiveSegmentId(const std::optional<QUuid>& id)
{
    if (m_activeId == id)
        return;
    const int before = m_activeId ? rowOf(*m_activeId) : -1;
    m_activeId = id;
    rowChanged(before);
    rowChanged(id ? rowOf(*id) : -1);
}

void TranscriptSegmentModel::setHoveredSegmentId(const std::optional<QUuid>& id)
{
    if (m_hoveredId == id)
        return;
    const int before = m_hoveredId ? rowOf(*m_hoveredId) : -1;
    m_hoveredId = id;
    for (const int row : {before, id ? rowOf(*id) : -1}) {
        if (row >= 0)
            Q_EMIT dataChanged(index(row), index(row), {HoveredRole});
    }
}

void TranscriptSegmentModel::setPlaying(bool playing)
{
    if (m_playing == playing)
        return;
    m_playing = playing;
    // Only the active row shows whether playback runs.
    rowChanged(m_activeId ? rowOf(*m_activeId) : -1);
}

void TranscriptSegmentModel::setSearch(const SearchMatcher& matcher)
{
    m_matcher = matcher;
    int first = -1;
    int last = -1;
    for (int row = 0; row < m_segments.size(); ++row) {
        const bool matching = m_matcher.matches(m_segments.at(row).text);
        if (m_matching[static_cast<size_t>(row)] == matching)
            continue;
        m_matching[static_cast<size_t>(row)] = matching;
        if (first < 0)
            first = row;
        last = row;
    }
    if (first >= 0)
        Q_EMIT dataChanged(index(first), index(last), {MatchingRole});
}

int TranscriptSegmentModel::rowOf(const QUuid& id) const
{
    return m_rowById.value(id, -1);
}

int TranscriptSegmentModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_segments.size());
}

QVariant TranscriptSegmentModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_segments.size())
        return {};
    const TranscriptSegment& segment = m_segments.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return segment.text;
    case TimestampRole:
        return segment.formattedTimestamp();
    case ActiveRole:
        return m_activeId && *m_activeId == segment.id;
    case MatchingRole:
        return bool(m_matching[static_cast<size_t>(index.row())]);
    case PlayingRole:
        return m_playing;
    case HoveredRole:
        return m_hoveredId && *m_hoveredId == segment.id;
    case IdRole:
        return segment.id;
    default:
        return {};
    }
}

void TranscriptSegmentModel::rowChanged(int row)
{
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), {ActiveRole, PlayingRole});
}
