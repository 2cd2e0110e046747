#include "views/logic/ActiveRowGeometry.h"

#include "views/logic/RecordingRowGeometry.h"

#include <algorithm>

namespace {

qreal columnHeight(const ActiveRowGeometry::Metrics& metrics, bool isEditing)
{
    const qreal title = isEditing ? ActiveRowGeometry::editorHeight : metrics.titleLine;
    return title + ActiveRowGeometry::lineSpacing + metrics.statusLine;
}

} // namespace

qreal ActiveRowGeometry::cellHeight(const Metrics& metrics, bool isEditing)
{
    qreal inner = std::max(columnHeight(metrics, isEditing), dotSide);
    if (!isEditing)
        inner = std::max(inner, stopButtonSide);
    // The same insets in the list as the saved recordings' rows.
    return inner + 2 * (paddingVertical + RecordingRowGeometry::insetVertical);
}

ActiveRowGeometry::ActiveRowGeometry(const QRectF& cell, const Metrics& metrics, bool isEditing)
{
    using Row = RecordingRowGeometry;
    m_background = cell.adjusted(Row::insetHorizontal, Row::insetVertical, -Row::insetHorizontal, -Row::insetVertical);
    const QRectF inner = m_background.adjusted(paddingHorizontal, paddingVertical, -paddingHorizontal, -paddingVertical);
    const qreal middle = inner.center().y();

    m_dot = QRectF(inner.left(), middle - dotSide / 2, dotSide, dotSide);
    qreal columnRight = inner.right();
    if (!isEditing) {
        m_stopButton = QRectF(inner.right() - stopButtonSide, middle - stopButtonSide / 2, stopButtonSide,
                              stopButtonSide);
        m_renameButton = QRectF(m_stopButton.left() - buttonSpacing - renameButtonSide,
                                middle - renameButtonSide / 2, renameButtonSide, renameButtonSide);
        columnRight = m_renameButton.left() - spacing;
    }
    const qreal left = m_dot.right() + spacing;
    const qreal width = std::max<qreal>(0, columnRight - left);
    // The column sits in the middle when the dot or the buttons are taller.
    const qreal column = columnHeight(metrics, isEditing);
    qreal y = std::max(inner.top(), middle - column / 2);
    const qreal title = isEditing ? editorHeight : metrics.titleLine;
    m_titleLine = QRectF(left, y, width, title);
    y += title + lineSpacing;
    m_statusLine = QRectF(left, y, width, metrics.statusLine);
}

ActiveRowGeometry::Part ActiveRowGeometry::partAt(const QPointF& point) const
{
    if (!m_background.contains(point))
        return Part::none;
    if (m_renameButton.contains(point))
        return Part::renameButton;
    if (m_stopButton.contains(point))
        return Part::stopButton;
    return Part::row;
}
