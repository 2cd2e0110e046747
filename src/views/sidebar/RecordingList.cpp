#include "views/sidebar/RecordingList.h"

#include "views/common/ActivitySpinner.h"
#include "views/common/FrameClock.h"
#include "views/logic/ActiveRowRules.h"
#include "views/logic/RecordingListModel.h"
#include "views/sidebar/RecordingDot.h"
#include "views/sidebar/RecordingRowDelegate.h"
#include "views/sidebar/RowRenameEditor.h"
#include "views/style/Style.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QVariantAnimation>

RecordingList::RecordingList(QWidget* parent)
    : QListView(parent)
    , m_model(new RecordingListModel(this))
    , m_delegate(new RecordingRowDelegate(m_model, this))
{
    setObjectName(QStringLiteral("recordingList"));
    setAccessibleName(QStringLiteral("Recordings"));
    setModel(m_model);
    setItemDelegate(m_delegate);
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(false);
    setResizeMode(QListView::Adjust);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The list's own selection is the view model's; the list never moves on its own.
    setAutoScroll(false);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    Style::makeThin(verticalScrollBar());
    viewport()->setAutoFillBackground(false);
    // The list lays the window's background under its rows itself, so the
    // breathing dot of a recording redraws the list alone, not every widget
    // the list sits on.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

    connect(m_model, &QAbstractItemModel::rowsInserted, this, &RecordingList::updateAnimations);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &RecordingList::updateAnimations);
    connect(m_model, &QAbstractItemModel::modelReset, this, &RecordingList::updateAnimations);
}

// --- Rename fields ---

RowRenameEditor* RecordingList::openRenameEditor(int row)
{
    const QModelIndex index = m_model->index(row);
    if (!index.isValid())
        return nullptr;
    if (!isPersistentEditorOpen(index))
        openPersistentEditor(index);
    return renameEditor(row);
}

void RecordingList::closeRenameEditor(int row)
{
    const QModelIndex index = m_model->index(row);
    if (index.isValid() && isPersistentEditorOpen(index))
        closePersistentEditor(index);
}

RowRenameEditor* RecordingList::renameEditor(int row) const
{
    const QModelIndex index = m_model->index(row);
    return index.isValid() ? qobject_cast<RowRenameEditor*>(indexWidget(index)) : nullptr;
}

// --- Parts of rows ---

QRect RecordingList::partRect(int row, Part part) const
{
    const QModelIndex index = m_model->index(row);
    if (!index.isValid())
        return {};
    const QRect cell = visualRect(index);
    QRectF found;
    if (m_model->isActiveRow(row)) {
        const auto geometry = m_delegate->activeGeometry(cell);
        found = part == Part::row            ? geometry.background()
            : part == Part::renameButton     ? geometry.renameButton()
            : part == Part::stopButton       ? geometry.stopButton()
                                             : QRectF();
    } else {
        const auto geometry = m_delegate->recordingGeometry(cell, row);
        found = part == Part::row            ? geometry.background()
            : part == Part::renameButton     ? geometry.renameButton()
            : part == Part::exportButton     ? geometry.exportButton()
            : part == Part::mergeCheckBox    ? geometry.checkBox()
                                             : QRectF();
    }
    return found.toAlignedRect();
}

RecordingList::Hit RecordingList::hitAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return {};
    const int row = index.row();
    const QRect cell = visualRect(index);
    Hit hit{row, std::nullopt};
    if (m_model->isActiveRow(row)) {
        switch (m_delegate->activeGeometry(cell).partAt(point)) {
        case ActiveRowGeometry::Part::none:
            break;
        case ActiveRowGeometry::Part::row:
            hit.part = Part::row;
            break;
        case ActiveRowGeometry::Part::renameButton:
            hit.part = Part::renameButton;
            break;
        case ActiveRowGeometry::Part::stopButton:
            hit.part = Part::stopButton;
            break;
        }
        return hit;
    }
    switch (m_delegate->recordingGeometry(cell, row).partAt(point)) {
    case RecordingRowGeometry::Part::none:
        break;
    case RecordingRowGeometry::Part::row:
        hit.part = Part::row;
        break;
    case RecordingRowGeometry::Part::renameButton:
        hit.part = Part::renameButton;
        break;
    case RecordingRowGeometry::Part::exportButton:
        hit.part = Part::exportButton;
        break;
    case RecordingRowGeometry::Part::checkBox:
        hit.part = Part::mergeCheckBox;
        break;
    }
    return hit;
}

// --- Pointer ---

void RecordingList::pressPart(const Hit& hit)
{
    m_pressedRow = m_model->index(hit.row);
    m_pressedPart = hit.part;
}

void RecordingList::mousePressEvent(QMouseEvent* event)
{
    // Handled here, not by the item view, so no current index or selection of
    // its own ever moves the list.
    event->accept();
    m_pressedRow = QPersistentModelIndex();
    m_pressedPart.reset();
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitAt(event->position().toPoint());
    if (!hit.part)
        return;
    if (*hit.part == Part::row) {
        Q_EMIT rowClicked(hit.row);
        return;
    }
    pressPart(hit);
}

void RecordingList::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !m_pressedPart)
        return;
    const Hit hit = hitAt(event->position().toPoint());
    const bool same = m_pressedRow.isValid() && hit.row == m_pressedRow.row() && hit.part == m_pressedPart;
    const Part part = *m_pressedPart;
    m_pressedRow = QPersistentModelIndex();
    m_pressedPart.reset();
    if (same)
        Q_EMIT partClicked(hit.row, part);
}

void RecordingList::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitAt(event->position().toPoint());
    if (!hit.part)
        return;
    if (*hit.part == Part::row) {
        Q_EMIT rowDoubleClicked(hit.row);
        return;
    }
    // A button pressed twice quickly acts twice, as a button does.
    pressPart(hit);
}

void RecordingList::mouseMoveEvent(QMouseEvent* event)
{
    const Hit hit = hitAt(event->position().toPoint());
    setHovered(hit.part ? m_model->index(hit.row) : QModelIndex());
    const bool onButton = hit.part && *hit.part != Part::row;
    viewport()->setCursor(onButton ? Qt::PointingHandCursor : Qt::ArrowCursor);
    event->accept();
}

void RecordingList::leaveEvent(QEvent* event)
{
    setHovered(QModelIndex());
    QListView::leaveEvent(event);
}

bool RecordingList::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Leave:
        setHovered(QModelIndex());
        break;
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text
            = index.isValid() ? m_delegate->toolTipAt(visualRect(index), index.row(), help->pos()) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    default:
        break;
    }
    return QListView::viewportEvent(event);
}

void RecordingList::setHovered(const QModelIndex& index)
{
    if (QModelIndex(m_hovered) == index)
        return;
    const QModelIndex before = m_hovered;
    m_hovered = index;
    m_delegate->setHoveredRow(index.isValid() ? index.row() : -1);
    if (before.isValid())
        viewport()->update(visualRect(before));
    if (index.isValid())
        viewport()->update(visualRect(index));
}

void RecordingList::followPointer()
{
    // Scrolling moves rows under a pointer that stands still.
    const QPoint pointer = viewport()->mapFromGlobal(QCursor::pos());
    if (!viewport()->rect().contains(pointer) || !underMouse()) {
        setHovered(QModelIndex());
        return;
    }
    const Hit hit = hitAt(pointer);
    setHovered(hit.part ? m_model->index(hit.row) : QModelIndex());
}

void RecordingList::updateGeometries()
{
    // Every layout of the rows and every resize come here.
    QListView::updateGeometries();
    m_dotRect.reset();
}

void RecordingList::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    m_dotRect.reset();
    if (m_hovered.isValid() || underMouse())
        followPointer();
}

void RecordingList::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard the menu is the selected row's, wherever the pointer is.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        event->ignore();
        return;
    }
    const Hit hit = hitAt(event->pos());
    event->accept();
    if (hit.part)
        Q_EMIT contextMenuRequested(hit.row, event->globalPos());
}

void RecordingList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Q_EMIT stepRequested(event->key() == Qt::Key_Up ? -1 : 1);
        event->accept();
        return;
    }
    // Page and wheel keys scroll; nothing else of the item view's keyboard applies.
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        verticalScrollBar()->triggerAction(event->key() == Qt::Key_PageUp     ? QAbstractSlider::SliderPageStepSub
                                           : event->key() == Qt::Key_PageDown ? QAbstractSlider::SliderPageStepAdd
                                           : event->key() == Qt::Key_Home     ? QAbstractSlider::SliderToMinimum
                                                                              : QAbstractSlider::SliderToMaximum);
        event->accept();
        return;
    default:
        event->ignore();
    }
}

// --- Changes of rows ---

void RecordingList::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    // The detail line (the running time of the recording in progress, once a
    // second) never changes a row's height: only that row is drawn again.
    // QListView would lay out every row of the list and draw them all.
    if (topLeft == bottomRight && roles == QList<int>{RecordingListModel::DetailRole}) {
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    QListView::dataChanged(topLeft, bottomRight, roles);
    // A row that opens or closes its rename field or its quotation changes
    // height: the rows are laid out again, keeping the scroll position.
    const bool resized = roles.isEmpty() || roles.contains(RecordingListModel::EditingRole)
        || roles.contains(RecordingListModel::QuoteRole) || roles.contains(RecordingListModel::MergeRole);
    if (resized)
        scheduleDelayedItemsLayout();
    if (roles.isEmpty() || roles.contains(RecordingListModel::PausedRole)
        || roles.contains(RecordingListModel::TranscribingRole) || roles.contains(RecordingListModel::EnhancingRole))
        updateAnimations();
}

// --- Animations ---

void RecordingList::paintEvent(QPaintEvent* event)
{
    {
        QPainter background(viewport());
        for (const QRect& rect : event->region())
            background.fillRect(rect, palette().brush(QPalette::Window));
    }
    m_delegate->setPaintedRegion(event->region());
    QListView::paintEvent(event);
    m_delegate->setPaintedRegion({});
}

void RecordingList::showEvent(QShowEvent* event)
{
    QListView::showEvent(event);
    updateAnimations();
}

void RecordingList::hideEvent(QHideEvent* event)
{
    QListView::hideEvent(event);
    updateAnimations();
}

void RecordingList::updateAnimations()
{
    // The ring breathes while it can be seen, in the frames of the frame
    // clock; it starts the first time it is shown and goes on from where it
    // stood each time it comes back.
    const auto& active = m_model->activeRow();
    const bool breathing = active && !active->isPaused;
    if (breathing && isVisible() && !m_pulseStarted) {
        m_pulseStarted = true;
        if (!Style::animationsEnabled()) {
            m_pulse = 1;
            m_delegate->setPulse(m_pulse);
        }
    }
    FrameClock& clock = FrameClock::shared();
    const bool animates = breathing && m_pulseStarted && Style::animationsEnabled();
    if (animates && !clock.isAnimating(viewport()))
        clock.animate(viewport(), [this](qint64 stepMs) { pulseStep(stepMs); });
    else if (!animates && clock.isAnimating(viewport()))
        clock.stopAnimating(viewport());

    // The spinners of the transcribing and enhancing badges turn while one is listed.
    const bool busy = isVisible() && Style::animationsEnabled() && m_model->listsBusyRecordings();
    if (busy && !m_spinnerAnimation) {
        m_spinnerAnimation = new QVariantAnimation(this);
        m_spinnerAnimation->setStartValue(0);
        m_spinnerAnimation->setEndValue(ActivitySpinner::spokes);
        m_spinnerAnimation->setDuration(ActivitySpinner::turnMs);
        m_spinnerAnimation->setLoopCount(-1);
        connect(m_spinnerAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            const int step = value.toInt() % ActivitySpinner::spokes;
            if (step == m_spinnerStep)
                return;
            m_spinnerStep = step;
            m_delegate->setSpinnerStep(step);
            repaintBusyRows();
        });
    }
    if (m_spinnerAnimation) {
        if (busy && m_spinnerAnimation->state() != QAbstractAnimation::Running)
            m_spinnerAnimation->start();
        else if (!busy)
            m_spinnerAnimation->stop();
    }
}

void RecordingList::pulseStep(qint64 stepMs)
{
    const qint64 period = 2 * ActiveRowRules::pulseHalfPeriodMs;
    m_pulseMs = (m_pulseMs + stepMs) % period;
    m_pulse = RecordingDot::breathe(double(m_pulseMs) / double(period));
    m_delegate->setPulse(m_pulse);
    if (!m_model->hasActiveRow())
        return;
    // Only the dot: the widest ring reaches past its square by the half of its
    // line. Asking the list where a row is costs a size hint every time.
    if (!m_dotRect) {
        const QRect cell = visualRect(m_model->index(0));
        const int reach = 3;
        m_dotRect = m_delegate->activeGeometry(cell).dot().toAlignedRect().adjusted(-reach, -reach, reach, reach);
    }
    FrameClock::shared().requestUpdate(viewport(), *m_dotRect);
}

void RecordingList::repaintBusyRows()
{
    const QModelIndex first = indexAt(QPoint(0, 0));
    if (!first.isValid())
        return;
    const int bottom = viewport()->height();
    for (int row = first.row(); row < m_model->rowCount(); ++row) {
        const QRect cell = visualRect(m_model->index(row));
        if (cell.top() > bottom)
            break;
        if (m_model->isActiveRow(row))
            continue;
        const auto state = m_model->state(row);
        if (state.isTranscribing || state.isEnhancing)
            viewport()->update(cell);
    }
}
