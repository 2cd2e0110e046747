#include "views/detail/TranscriptSegmentList.h"

#include "views/detail/TranscriptSegmentDelegate.h"
#include "views/detail/TranscriptSegmentModel.h"
#include "views/style/Style.h"

TranscriptSegmentList::TranscriptSegmentList(QWidget* parent)
    : QListView(parent)
    , m_model(new TranscriptSegmentModel(this))
    , m_delegate(new TranscriptSegmentDelegate(this, m_model))
{
    // Before the view's own connections, so the kept heights are gone when it lays out.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_delegate->reset(); });
    setModel(m_model);
    setItemDelegate(m_delegate);
    setUniformItemSizes(false);
    setResizeMode(QListView::Adjust);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A scroll bar that comes and goes changes the width and with it every
    // row's wrapping: a second full layout on first show.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Style::makeThin(verticalScrollBar());
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true); // rows follow the pointer
    viewport()->setAutoFillBackground(false);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &TranscriptSegmentList::rowsChanged);
}

void TranscriptSegmentList::rowsChanged(const QModelIndex& first, const QModelIndex& last)
{
    for (int row = first.row(); row <= last.row(); ++row) {
        if (m_delegate->heightDependsOnWeight(row)) {
            // One pass over kept heights, joined with any the view has
            // planned; it keeps the scroll position.
            scheduleDelayedItemsLayout();
            return;
        }
    }
}
