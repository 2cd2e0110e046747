#include "views/detail/TranscriptSegmentList.h"

#include "views/detail/TranscriptSegmentDelegate.h"
#include "views/detail/TranscriptSegmentModel.h"
#include "views/style/Style.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

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
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_pressedRow = -1; });
    // Rows scrolled under a resting pointer are under it too.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (underMouse())
            hoverAt(viewport()->mapFromGlobal(QCursor::pos()));
    });
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

int TranscriptSegmentList::segmentAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return -1;
    // The spacing between rows belongs to no row.
    return m_delegate->rowRect(visualRect(index), index.row()).contains(point) ? index.row() : -1;
}

QRectF TranscriptSegmentList::drawnRow(int row) const
{
    return m_delegate->rowRect(visualRect(m_model->index(row)), row);
}

void TranscriptSegmentList::centerOnRow(int row, int durationMs)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    // Rows laid out anew (a weight change) must be in place to be measured.
    executeDelayedItemsLayout();
    const QRectF drawn = drawnRow(row);
    QScrollBar* bar = verticalScrollBar();
    const double offset = drawn.center().y() - viewport()->height() / 2.0;
    const int target = std::clamp(bar->value() + int(std::lround(offset)), bar->minimum(), bar->maximum());
    if (m_scroll)
        m_scroll->stop();
    if (target == bar->value())
        return;
    if (durationMs <= 0 || !Style::animationsEnabled()) {
        bar->setValue(target);
        return;
    }
    auto* animation = new QPropertyAnimation(bar, "value", this);
    animation->setDuration(durationMs);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(bar->value());
    animation->setEndValue(target);
    m_scroll = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

bool TranscriptSegmentList::isScrollAnimating() const
{
    return m_scroll && m_scroll->state() == QAbstractAnimation::Running;
}

void TranscriptSegmentList::showEvent(QShowEvent* event)
{
    QListView::showEvent(event);
    Q_EMIT cameIntoView();
}

void TranscriptSegmentList::mousePressEvent(QMouseEvent* event)
{
    QListView::mousePressEvent(event);
    m_pressedRow = event->button() == Qt::LeftButton ? segmentAt(event->position().toPoint()) : -1;
}

void TranscriptSegmentList::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    const int pressed = std::exchange(m_pressedRow, -1);
    // A click: pressed and released on the same row.
    if (event->button() == Qt::LeftButton && pressed >= 0 && segmentAt(event->position().toPoint()) == pressed)
        Q_EMIT segmentClicked(pressed);
}

void TranscriptSegmentList::mouseMoveEvent(QMouseEvent* event)
{
    QListView::mouseMoveEvent(event);
    hoverAt(event->position().toPoint());
}

void TranscriptSegmentList::leaveEvent(QEvent* event)
{
    QListView::leaveEvent(event);
    m_model->setHoveredSegmentId(std::nullopt);
}

void TranscriptSegmentList::hoverAt(const QPoint& point)
{
    const int row = segmentAt(point);
    m_model->setHoveredSegmentId(row >= 0 ? std::optional<QUuid>(m_model->segment(row).id) : std::nullopt);
}
