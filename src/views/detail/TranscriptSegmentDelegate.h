#pragma once

#include "views/detail/WrappedText.h"
#include "views/logic/TranscriptRules.h"

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

#include <vector>

class QAbstractItemView;
class TranscriptSegmentModel;

// Draws one timed transcript row: the time pill and the wrapped text on a
// rounded background whose colours follow the row's flags. Heights are kept
// per row and weight for the current width, so laying out the whole list
// again (when a row turns bold) costs little; the lines of the rows on screen
// are kept shaped, so repainting them does not shape their text again.
class TranscriptSegmentDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int sidePadding = 20; // list edge to row
    static constexpr int edgePadding = 14; // above the first and below the last row
    static constexpr int rowSpacing = 8;

    TranscriptSegmentDelegate(QAbstractItemView* view, const TranscriptSegmentModel* model);

    // The segment's text colour: the rules' ink, made to reach 4.5:1 on the
    // row's fill in this palette.
    static QColor textColor(const TranscriptRules::RowStyle& style, const QPalette& palette);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The rounded row as drawn inside the item's rectangle (which also holds
    // the spacing around it): what the pointer hovers and clicks.
    QRectF rowRect(const QRect& itemRect, int row) const;

    // Whether the row's height differs between its regular and bold text.
    bool heightDependsOnWeight(int row) const;
    // Forget everything kept (new rows).
    void reset();

private:
    struct KeptRow {
        qreal pillWidth = -1;
        qreal textHeight[2] = {-1, -1}; // regular, bold; for m_keptWidth
    };

    KeptRow& kept(int row) const;
    qreal pillWidth(int row) const;
    qreal textWidth(int row) const;
    qreal textHeight(int row, bool bold) const;
    qreal rowHeight(int row, bool bold) const;
    bool isBold(int row) const;
    QRectF rowRectIn(const QRect& itemRect, int row, bool bold) const;
    int rowWidth() const;
    const QList<QStaticText>& shapedLines(int row, bool bold) const;
    void forget() const;

    QAbstractItemView* m_view;
    const TranscriptSegmentModel* m_model;
    mutable WrappedText m_regular;
    mutable WrappedText m_bold;
    mutable WrappedText m_pill;
    mutable int m_keptWidth = -1;
    mutable std::vector<KeptRow> m_kept;
    mutable QHash<qint64, QList<QStaticText>> m_shaped;
};
