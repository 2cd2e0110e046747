#include "views/logic/RecordingRowGeometry.h"

#include <algorithm>

namespace {

qreal columnHeight(const RecordingRowGeometry::Metrics& metrics, const RecordingRowGeometry::Content& content)
{
    using G = RecordingRowGeometry;
    const qreal title = content.isEditing ? G::editorHeight : metrics.titleLine;
    qreal height = title + G::lineSpacing + metrics.detailLine;
    if (content.hasQuote)
        height += G::lineSpacing + G::quoteTopSpace + metrics.quoteLine;
    return height;
}

qreal buttonsHeight(const RecordingRowGeometry::Content& content)
{
    return content.showsButtons ? std::max(RecordingRowGeometry::renameButtonSide, RecordingRowGeometry::exportButtonSide)
                                : 0;
}

} // namespace

qreal RecordingRowGeometry::cellHeight(const Metrics& metrics, const Content& content)
{
    const qreal inner = std::max(columnHeight(metrics, content), buttonsHeight(content));
    return inner + 2 * (paddingVertical + insetVertical);
}

RecordingRowGeometry::RecordingRowGeometry(const QRectF& cell, const Metrics& metrics, const Content& content)
{
    m_background = cell.adjusted(insetHorizontal, insetVertical, -insetHorizontal, -insetVertical);
    const QRectF inner = m_background.adjusted(paddingHorizontal, paddingVertical, -paddingHorizontal, -paddingVertical);

    qreal columnRight = inner.right();
    if (content.showsButtons) {
        const qreal middle = inner.center().y();
        m_exportButton = QRectF(inner.right() - exportButtonSide, middle - exportButtonSide / 2, exportButtonSide,
                                exportButtonSide);
        m_renameButton = QRectF(m_exportButton.left() - buttonSpacing - renameButtonSide,
                                middle - renameButtonSide / 2, renameButtonSide, renameButtonSide);
        columnRight = m_renameButton.left() - spacing;
    }
    qreal left = inner.left();
    if (content.hasCheckBox) {
        m_checkBox = QRectF(left, inner.center().y() - checkBoxSide / 2, checkBoxSide, checkBoxSide);
        m_checkBoxTakesClicks = content.checkBoxTakesClicks;
        left = m_checkBox.right() + spacing;
    }
    const qreal width = std::max<qreal>(0, columnRight - left);

    qreal y = inner.top();
    const qreal title = content.isEditing ? editorHeight : metrics.titleLine;
    m_titleLine = QRectF(left, y, width, title);
    y += title + lineSpacing;
    m_detailLine = QRectF(left, y, width, metrics.detailLine);
    y += metrics.detailLine;
    if (content.hasQuote) {
        y += lineSpacing + quoteTopSpace;
        m_quoteLine = QRectF(left, y, width, metrics.quoteLine);
    }
}

RecordingRowGeometry::Part RecordingRowGeometry::partAt(const QPointF& point) const
{
    if (!m_background.contains(point))
        return Part::none;
    if (m_renameButton.contains(point))
        return Part::renameButton;
    if (m_exportButton.contains(point))
        return Part::exportButton;
    if (m_checkBoxTakesClicks && m_checkBox.contains(point))
        return Part::checkBox;
    return Part::row;
}
