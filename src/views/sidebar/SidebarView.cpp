#include "views/sidebar/SidebarView.h"

#include "models/FileReveal.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeRules.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/TrimSession.h"
#include "views/common/ContextMenus.h"
#include "views/common/FocusRelease.h"
#include "views/common/PlainLabels.h"
#include "views/logic/ActiveRowRules.h"
#include "views/logic/MergePanelRules.h"
#include "views/logic/RecordingListModel.h"
#include "views/logic/SidebarRules.h"
#include "views/sidebar/MergePanel.h"
#include "views/sidebar/RecordingList.h"
#include "views/sidebar/RowRenameEditor.h"
#include "views/sidebar/SearchBox.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The search field takes the keyboard this long after the column is shown.
constexpr int initialSearchFocusDelayMs = 50;

} // namespace

SidebarView::SidebarView(RecordingViewModel& vm, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
    , m_reveal([](const RecordingItem& item) { FileReveal::showItem(RecordingsStorage::shared().fileURL(item)); })
{
    setObjectName(QStringLiteral("sidebar"));
    buildLayout();
    connectViewModel();
    syncRows();
    refreshActiveRow();
    refreshHeader();
    refreshEmptyState();
    refreshMerge();
}

void SidebarView::setRevealHandler(RevealHandler handler)
{
    m_reveal = std::move(handler);
}

void SidebarView::buildLayout()
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* content = new QWidget(this);
    content->setMaximumWidth(350);
    outer->addWidget(content);

    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_search = new SearchBox(content);
    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(12, 10, 12, 6);
    searchRow->addWidget(m_search);
    column->addLayout(searchRow);
    m_search->field()->installEventFilter(this);
    connect(m_search, &SearchBox::textEdited, this,
            [this](const QString& text) { m_vm.library().setSearchText(text); });
    connect(m_search, &SearchBox::cleared, this, [this] { m_vm.library().setSearchText(QString()); });
    connect(m_search, &SearchBox::submitted, this, [this] {
        releaseSearchFocus();
        releaseFocusSoon();
    });

    m_mergeArea = new QWidget(content);
    auto* mergeRow = new QHBoxLayout(m_mergeArea);
    mergeRow->setContentsMargins(12, 2, 12, 6);
    m_mergePanel = new MergePanel(m_mergeArea);
    mergeRow->addWidget(m_mergePanel);
    column->addWidget(m_mergeArea);
    connect(m_mergePanel, &MergePanel::cancelRequested, this, [this] { m_vm.merge().cancelMergeMode(); });
    connect(m_mergePanel, &MergePanel::mergeRequested, this, &SidebarView::askToMerge);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(14, 4, 14, 4);
    m_headerTitle = PlainLabels::make(SidebarRules::headerTitle(), Style::font(11, TextWeight::bold),
                               Style::color(ColorRole::secondary), content);
    m_headerCount = PlainLabels::make(QString(), Style::font(11, TextWeight::semibold), Style::color(ColorRole::secondary),
                               content);
    m_headerCount->setObjectName(QStringLiteral("headerCount"));
    m_headerCount->setStyleSheet(QStringLiteral("color: %1; background: %2; border-radius: 8px; padding: 2px 6px;")
                                     .arg(Style::css(Style::color(ColorRole::secondary)),
                                          Style::css(Style::color(ColorRole::gray, 0.15))));
    header->addWidget(m_headerTitle);
    header->addStretch(1);
    header->addWidget(m_headerCount);
    column->addLayout(header);

    m_body = new QStackedWidget(content);
    column->addWidget(m_body, 1);

    m_emptyState = new QWidget(m_body);
    auto* empty = new QVBoxLayout(m_emptyState);
    empty->setContentsMargins(20, 0, 20, 0);
    empty->setSpacing(8);
    empty->addStretch(1);
    auto* emptyIcon = new QLabel(m_emptyState);
    emptyIcon->setPixmap(Icons::pixmap(QStringLiteral("waveform.badge.magnifyingglass"), 32,
                                       Style::color(ColorRole::secondary, 0.5), devicePixelRatioF()));
    emptyIcon->setAlignment(Qt::AlignCenter);
    m_emptyTitle = PlainLabels::make(QString(), Style::font(13, TextWeight::medium), Style::color(ColorRole::secondary),
                              m_emptyState);
    m_emptyTitle->setAlignment(Qt::AlignCenter);
    m_emptySubtitle = PlainLabels::make(QString(), Style::font(11), Style::color(ColorRole::secondary, 0.8), m_emptyState);
    m_emptySubtitle->setAlignment(Qt::AlignCenter);
    m_emptySubtitle->setWordWrap(true);
    empty->addWidget(emptyIcon);
    empty->addWidget(m_emptyTitle);
    empty->addWidget(m_emptySubtitle);
    empty->addStretch(1);
    m_body->addWidget(m_emptyState);

    m_list = new RecordingList(m_body);
    m_model = m_list->listModel();
    m_body->addWidget(m_list);
    connect(m_list, &RecordingList::stepRequested, this, &SidebarView::stepSelection);
    connect(m_list, &RecordingList::rowClicked, this, &SidebarView::listRowClicked);
    connect(m_list, &RecordingList::rowDoubleClicked, this, &SidebarView::listRowDoubleClicked);
    connect(m_list, &RecordingList::partClicked, this, &SidebarView::listPartClicked);
    connect(m_list, &RecordingList::contextMenuRequested, this, &SidebarView::showMenu);
}

void SidebarView::connectViewModel()
{
    // Every change of the library is followed by filteredRecordingsChanged,
    // which brings the empty state up to date once the rows are.
    connect(&m_vm.library(), &LibraryViewModel::recordingsChanged, this, &SidebarView::refreshHeader);
    connect(&m_vm.library(), &LibraryViewModel::filteredRecordingsChanged, this, [this] {
        syncRows();
        refreshEmptyState();
    });
    connect(&m_vm.library(), &LibraryViewModel::selectedRecordingChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm.processing(), &ProcessingRuns::transcribingRecordingIDsChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm.processing(), &ProcessingRuns::enhancingRecordingIDsChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm.processing(), &ProcessingRuns::transcriptionProgressChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm.processing(), &ProcessingRuns::enhancementProgressChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm.library(), &LibraryViewModel::isPlayingEnhancedChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm.recorder(), &RecorderViewModel::recorderStateChanged, this, &SidebarView::recorderStateChanged);
    connect(&m_vm.recorder(), &RecorderViewModel::activeRecordingTitleChanged, this, &SidebarView::refreshActiveRow);
    connect(&m_vm.recorder(), &RecorderViewModel::recordingDurationChanged, this, &SidebarView::refreshActiveRow);
    connect(&m_vm.library(), &LibraryViewModel::searchTextChanged, this, [this] {
        m_search->setText(m_vm.library().searchText());
        m_model->setSearchText(m_vm.library().searchText());
        refreshActiveRow();
    });
    connect(&m_vm.library(), &LibraryViewModel::isSearchFocusedChanged, this, &SidebarView::followSearchFocus);
    for (const auto changed : {&MergeSession::isMergeModeActiveChanged, &MergeSession::mergeSourceRecordingChanged,
                               &MergeSession::mergeSelectedIDsChanged, &MergeSession::isMergingChanged,
                               &MergeSession::mergeProgressTextChanged})
        connect(&m_vm.merge(), changed, this, &SidebarView::refreshMerge);
}

// --- What the column shows ---

void SidebarView::syncRows()
{
    m_model->setRecordings(m_vm.library().filteredRecordings());
    // A recording that left the list takes its rename field with it.
    if (m_editingRecordingID && m_model->rowOf(*m_editingRecordingID) < 0)
        setEditingRecordingID(std::nullopt);
    else if (m_editingRecordingID)
        openRowEditor();
    refreshRowFlags();
}

void SidebarView::refreshRowFlags()
{
    const auto& selected = m_vm.library().selectedRecording();
    const std::optional<QUuid> selectedId = selected ? std::optional<QUuid>(selected->id) : std::nullopt;
    // Saved rows never look selected while a recording is in progress.
    const bool idle = m_vm.recorder().recorderState() == RecorderState::idle;
    m_model->setSelectedId(idle ? selectedId : std::nullopt);
    m_model->setTranscribingIds(m_vm.processing().transcribingRecordingIDs());
    m_model->setEnhancingIds(m_vm.processing().enhancingRecordingIDs());
    m_model->setTranscriptionProgress(m_vm.processing().transcriptionProgress());
    m_model->setEnhancementProgress(m_vm.processing().enhancementProgress());
    m_model->setPlayingEnhanced(m_vm.library().isPlayingEnhanced());
}

void SidebarView::refreshHeader()
{
    m_headerCount->setText(QString::number(
        SidebarRules::headerCount(m_vm.library().recordings().size(), m_vm.recorder().recorderState())));
}

void SidebarView::refreshEmptyState()
{
    // The rows are the filtered list: asking the view model again would search the library again.
    // Until the library has been read, an empty list says nothing about it:
    // "No recordings yet" would tell a user with a library that it is gone.
    const bool empty = m_vm.library().isLibraryLoaded()
        && SidebarRules::showsEmptyState(m_model->recordingCount() == 0, m_vm.recorder().recorderState());
    const auto texts = SidebarRules::emptyStateText(m_vm.library().recordings().isEmpty());
    m_emptyTitle->setText(texts.title);
    m_emptySubtitle->setText(texts.subtitle);
    m_body->setCurrentWidget(empty ? m_emptyState : static_cast<QWidget*>(m_list));
}

void SidebarView::refreshActiveRow()
{
    const auto& title = m_vm.recorder().activeRecordingTitle();
    if (!SidebarRules::showsActiveRow(m_vm.recorder().recorderState(), title, m_vm.library().searchText())) {
        m_model->setActiveRow(std::nullopt);
        return;
    }
    const bool shownBefore = m_model->hasActiveRow();
    m_model->setActiveRow(RecordingListModel::ActiveRow{
        SidebarRules::activeRowTitle(title), m_vm.recorder().recordingDuration(),
        m_vm.recorder().recorderState() == RecorderState::paused, m_isEditingActiveRecording});
    // A search that hid the row took its rename field; it comes back with the row.
    if (!shownBefore && m_isEditingActiveRecording)
        openActiveEditor();
}

void SidebarView::recorderStateChanged()
{
    const RecorderState state = m_vm.recorder().recorderState();
    if (m_isEditingActiveRecording && (state == RecorderState::stopping || state == RecorderState::idle)) {
        // Stopped with the rename field open: what the user typed is the
        // recording's name (the view model takes a rename while it stops), and
        // the closed field leaves no renaming behind to block Space.
        if (const auto title = SidebarRules::activeRenameTitle(m_editingActiveTitleText))
            m_vm.recorder().renameActiveRecording(*title);
        setEditingActiveRecording(false);
        releaseFocusSoon();
    }
    refreshActiveRow();
    refreshHeader();
    refreshEmptyState();
    refreshRowFlags();
}

void SidebarView::refreshMerge()
{
    const bool active = m_vm.merge().isMergeModeActive();
    const auto& source = m_vm.merge().mergeSourceRecording();
    // A merge still running shows its progress and its Cancel after the mode was left.
    m_mergeArea->setVisible(active || m_vm.merge().isMerging());
    m_headerTitle->setText(SidebarRules::headerTitle(active));
    m_model->setMergeState(active, source ? std::optional<QUuid>(source->id) : std::nullopt,
                           m_vm.merge().mergeSelectedIDs());
    MergePanel::State state;
    if (source)
        state.sourceTitle = source->title;
    state.picked = m_vm.merge().mergeSelectedIDs().size();
    state.isMerging = m_vm.merge().isMerging();
    state.progress = m_vm.merge().mergeProgressText();
    m_mergePanel->setState(state);
    // The question is about the picks it was asked with.
    if (!active && m_mergeConfirmation)
        m_mergeConfirmation->reject();
}

void SidebarView::askToMerge()
{
    if (m_mergeConfirmation)
        return;
    const qsizetype picked = m_vm.merge().mergeSelectedIDs().size();
    QList<RecordingItem> chosen;
    for (const RecordingItem& item : m_vm.library().recordings()) {
        if (m_vm.merge().mergeSelectedIDs().contains(item.id))
            chosen.append(item);
    }
    const auto& source = m_vm.merge().mergeSourceRecording();
    if (!source)
        return;
    const QList<RecordingItem> joined = MergeRules::joinedOrder(*source, chosen);

    auto* box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("mergeConfirmation"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Question);
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(MergePanelRules::confirmationTitle(picked));
    box->setText(MergePanelRules::confirmationTitle(picked));
    box->setInformativeText(MergePanelRules::confirmationMessage(joined));
    box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    QPushButton* merge = box->addButton(QStringLiteral("Merge Recordings"), QMessageBox::AcceptRole);
    box->setDefaultButton(merge);
    m_mergeConfirmation = box;
    connect(box, &QObject::destroyed, this, [this, box] {
        if (m_mergeConfirmation == box)
            m_mergeConfirmation = nullptr;
    });
    connect(box, &QMessageBox::finished, this, [this, box, merge] {
        const bool confirmed = box->clickedButton() == merge;
        m_mergeConfirmation = nullptr;
        // The merge goes on in the view model; the column only starts it.
        if (confirmed)
            QMetaObject::invokeMethod(&m_vm.merge(), &MergeSession::executeMerge, Qt::QueuedConnection);
    });
    box->open();
}

bool SidebarView::escapePressed()
{
    if (!m_vm.merge().isMergeModeActive())
        return clearSearch();
    m_vm.merge().cancelMergeMode();
    return true;
}

void SidebarView::keyPressEvent(QKeyEvent* event)
{
    // Reaches here when no field or list inside the column took the key.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && escapePressed()) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

const RecordingListModel& SidebarView::listModel() const
{
    return *m_model;
}

QList<RecordingItem> SidebarView::listedRecordings() const
{
    QList<RecordingItem> listed;
    for (int row = m_model->hasActiveRow() ? 1 : 0; row < m_model->rowCount(); ++row)
        listed.append(m_model->recording(row));
    return listed;
}

int SidebarView::rowOf(const QUuid& id) const
{
    return m_model->rowOf(id);
}

InlineRenameField* SidebarView::renameField(const QUuid& id) const
{
    if (m_editingRecordingID != id)
        return nullptr;
    RowRenameEditor* editor = m_list->renameEditor(m_model->rowOf(id));
    return editor ? editor->field() : nullptr;
}

InlineRenameField* SidebarView::activeRenameField() const
{
    if (!m_isEditingActiveRecording || !m_model->hasActiveRow())
        return nullptr;
    RowRenameEditor* editor = m_list->renameEditor(0);
    return editor ? editor->field() : nullptr;
}

QString SidebarView::headerTitle() const
{
    return m_headerTitle->text();
}

QString SidebarView::headerCount() const
{
    return m_headerCount->text();
}

bool SidebarView::showsEmptyState() const
{
    return m_body->currentWidget() == m_emptyState;
}

QString SidebarView::emptyTitle() const
{
    return m_emptyTitle->text();
}

QString SidebarView::emptySubtitle() const
{
    return m_emptySubtitle->text();
}

// --- Keyboard ---

bool SidebarView::searchHoldsFocus() const
{
    const QWidget* top = window();
    return top && top->focusWidget() == m_search->field();
}

void SidebarView::releaseSearchFocus()
{
    // The field first, so the flag's change finds it already without the focus.
    if (searchHoldsFocus() || m_search->field()->hasFocus())
        m_search->field()->clearFocus();
    m_vm.library().setIsSearchFocused(false);
}

void SidebarView::followSearchFocus()
{
    const bool wanted = m_vm.library().isSearchFocused();
    if (wanted == searchHoldsFocus())
        return;
    if (wanted) {
        m_search->field()->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The view model clears the flag for a selection of the user's (or the
    // start's), never when the library changes behind the user's back.
    m_search->field()->clearFocus();
}

bool SidebarView::eventFilter(QObject* watched, QEvent* event)
{
    // With no field holding the keyboard (after a click on a row), keys go to
    // the window itself: Escape there is the column's too.
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && escapePressed())
            return true;
        return false;
    }
    if (watched == m_search->field()) {
        if (event->type() == QEvent::FocusIn) {
            // A window coming to the front hands the keyboard to its first
            // field by itself; after a selection freed it, it stays free so
            // that Space plays.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason && !m_vm.library().isSearchFocused()) {
                QMetaObject::invokeMethod(
                    m_search->field(), [field = m_search->field()] { field->clearFocus(); }, Qt::QueuedConnection);
            } else {
                m_vm.library().setIsSearchFocused(true);
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Another window or a menu taking the keyboard leaves the field
            // the focus of this window.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_vm.library().setIsSearchFocused(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SidebarView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (window() != this && window() != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = window();
        m_watchedWindow->installEventFilter(this);
    }
    // The field takes the keyboard unless a recording was selected since it
    // last had it (at the start too): then Space plays that recording.
    QTimer::singleShot(initialSearchFocusDelayMs, this, [this] {
        if (!m_vm.library().isSearchFocused())
            return;
        m_search->field()->setFocus(Qt::OtherFocusReason);
        m_vm.library().setIsSearchFocused(true);
    });
}

void SidebarView::stepSelection(int step)
{
    const int first = m_model->hasActiveRow() ? 1 : 0;
    const int count = m_model->recordingCount();
    if (count == 0)
        return;
    int index = -1;
    if (const auto& selected = m_vm.library().selectedRecording()) {
        const int row = m_model->rowOf(selected->id);
        if (row >= 0)
            index = row - first;
    }
    const int next = index < 0 ? (step > 0 ? 0 : count - 1) : std::clamp(index + step, 0, count - 1);
    if (next == index)
        return;
    const QModelIndex target = m_model->index(first + next);
    // The list's own selection writes the property directly.
    m_vm.library().setSelectedRecording(m_model->recording(first + next));
    m_list->scrollTo(target);
}

void SidebarView::releaseFocusSoon()
{
    FocusRelease::schedule(this);
}

// --- Requests of the saved rows ---

std::optional<RecordingItem> SidebarView::item(const QUuid& id) const
{
    const int row = m_model->rowOf(id);
    if (row < 0)
        return std::nullopt;
    return m_model->recording(row);
}

RecordingRowRules::State SidebarView::rowState(int row) const
{
    RecordingRowRules::State state = m_model->state(row);
    state.isHovered = row == m_list->hoveredRow();
    return state;
}

void SidebarView::listRowClicked(int row)
{
    if (m_model->isActiveRow(row)) {
        if (ActiveRowRules::clicksAct(m_isEditingActiveRecording))
            activeClicked();
        return;
    }
    if (const auto id = m_model->idAt(row); id && RecordingRowRules::clickSelects(rowState(row)))
        rowClicked(*id);
}

void SidebarView::listRowDoubleClicked(int row)
{
    if (m_model->isActiveRow(row)) {
        if (ActiveRowRules::clicksAct(m_isEditingActiveRecording))
            startActiveRename();
        return;
    }
    if (const auto id = m_model->idAt(row); id && RecordingRowRules::doubleClickRenames(rowState(row)))
        startRename(*id);
}

void SidebarView::listPartClicked(int row, RecordingList::Part part)
{
    if (m_model->isActiveRow(row)) {
        if (part == RecordingList::Part::renameButton)
            startActiveRename();
        else if (part == RecordingList::Part::stopButton)
            m_vm.recorder().stopRecording();
        return;
    }
    const auto id = m_model->idAt(row);
    if (!id)
        return;
    if (part == RecordingList::Part::renameButton)
        startRename(*id);
    else if (part == RecordingList::Part::exportButton)
        runRowAction(*id, RecordingRowRules::Action::exportToDownloads);
    else if (part == RecordingList::Part::mergeCheckBox) {
        if (const auto found = item(*id))
            m_vm.merge().toggleMergeSelection(*found);
    }
}

void SidebarView::showMenu(int row, const QPoint& globalPosition)
{
    QMenu menu(this);
    if (m_model->isActiveRow(row)) {
        populateActiveMenu(menu);
    } else if (const auto id = m_model->idAt(row)) {
        populateRowMenu(*id, menu);
    }
    if (!menu.isEmpty())
        menu.exec(globalPosition);
}

void SidebarView::populateRowMenu(const QUuid& id, QMenu& menu)
{
    const int row = m_model->rowOf(id);
    if (row < 0)
        return;
    for (const auto& entry : RecordingRowRules::contextMenu(rowState(row))) {
        QAction* action = ContextMenus::addEntry(menu, entry);
        const auto kind = entry.action;
        // The recording by its id: the list may have changed before the menu closes.
        connect(action, &QAction::triggered, this, [this, id, kind] { runRowAction(id, kind); });
    }
}

void SidebarView::populateActiveMenu(QMenu& menu)
{
    using Action = ActiveRowRules::Action;
    const auto& active = m_model->activeRow();
    for (const auto& entry : ActiveRowRules::contextMenu(active && active->isPaused)) {
        QAction* action = ContextMenus::addEntry(menu, entry);
        switch (entry.action) {
        case Action::rename:
            // No guard here: the menu renames also while the field is open.
            connect(action, &QAction::triggered, this, &SidebarView::startActiveRename);
            break;
        case Action::pauseResume:
            connect(action, &QAction::triggered, this, [this] { m_vm.recorder().pauseResumeRecording(); });
            break;
        case Action::stop:
            connect(action, &QAction::triggered, this, [this] { m_vm.recorder().stopRecording(); });
            break;
        }
    }
}

void SidebarView::runRowAction(const QUuid& id, RecordingRowRules::Action action)
{
    using Action = RecordingRowRules::Action;
    if (action == Action::rename) {
        startRename(id);
        return;
    }
    if (action == Action::toggleEnhanced) {
        toggleEnhanced(id);
        return;
    }
    const auto found = item(id);
    if (!found)
        return;
    switch (action) {
    case Action::trim:
        m_vm.trim().startTrimming(*found);
        break;
    case Action::startMerge:
        m_vm.merge().startMergeMode(*found);
        break;
    case Action::enhance:
        m_vm.processing().enhanceRecording(*found);
        break;
    case Action::cancelTranscription:
        m_vm.processing().cancelTranscription(*found);
        break;
    case Action::cancelEnhancement:
        m_vm.processing().cancelEnhancement(*found);
        break;
    case Action::exportToDownloads:
        m_vm.library().exportToDownloads(*found);
        break;
    case Action::showInFileManager:
        if (m_reveal)
            m_reveal(*found);
        break;
    case Action::remove:
        m_vm.library().deleteRecording(*found);
        break;
    case Action::rename:
    case Action::toggleEnhanced:
        break;
    }
}

// --- Window keys ---

std::optional<QUuid> SidebarView::selectionOffering(RecordingRowRules::Action action) const
{
    const auto& selected = m_vm.library().selectedRecording();
    if (!selected)
        return std::nullopt;
    const int row = m_model->rowOf(selected->id);
    if (row < 0)
        return std::nullopt;
    for (const auto& entry : RecordingRowRules::contextMenu(rowState(row))) {
        if (entry.action == action && entry.enabled)
            return selected->id;
    }
    return std::nullopt;
}

void SidebarView::renameSelection()
{
    if (const auto id = selectionOffering(RecordingRowRules::Action::rename))
        runRowAction(*id, RecordingRowRules::Action::rename);
}

void SidebarView::deleteSelection()
{
    if (const auto id = selectionOffering(RecordingRowRules::Action::remove))
        runRowAction(*id, RecordingRowRules::Action::remove);
}

bool SidebarView::openSelectionMenu()
{
    const auto& selected = m_vm.library().selectedRecording();
    const int row = selected ? m_model->rowOf(selected->id) : -1;
    if (row < 0)
        return false;
    m_list->scrollTo(m_model->index(row));
    const QRect rect = m_list->visualRect(m_model->index(row));
    // Below the row's title, as far in as a pointer on the row would be.
    const QPoint at = m_list->viewport()->mapToGlobal(QPoint(rect.left() + rect.height() / 2, rect.center().y()));
    showMenu(row, at);
    return true;
}

void SidebarView::focusSearch()
{
    m_search->field()->setFocus(Qt::ShortcutFocusReason);
    m_search->field()->selectAll();
    m_vm.library().setIsSearchFocused(true);
}

bool SidebarView::clearSearch()
{
    if (m_vm.library().searchText().isEmpty())
        return false;
    m_vm.library().setSearchText(QString());
    return true;
}

void SidebarView::rowClicked(const QUuid& id)
{
    const auto clicked = item(id);
    releaseSearchFocus();
    releaseFocusSoon();
    const auto& source = m_vm.merge().mergeSourceRecording();
    const auto click = SidebarRules::rowClick(m_vm.recorder().recorderState(), m_vm.trim().isTrimmingActive(),
                                              m_vm.merge().isMergeModeActive(), source && source->id == id);
    if (click.cancelTrimming)
        m_vm.trim().cancelTrimming();
    if (click.select && clicked)
        m_vm.library().selectRecording(*clicked);
    if (click.toggleMerge && clicked)
        m_vm.merge().toggleMergeSelection(*clicked);
}

void SidebarView::startRename(const QUuid& id)
{
    const auto renamed = item(id);
    if (!renamed)
        return;
    releaseSearchFocus();
    m_editingTitleText = renamed->title;
    setEditingRecordingID(id);
}

void SidebarView::commitRename(const QUuid& id)
{
    const auto renamed = item(id);
    if (renamed) {
        if (const auto title = SidebarRules::libraryRenameTitle(m_editingTitleText))
            m_vm.library().renameRecording(*renamed, *title);
    }
    setEditingRecordingID(std::nullopt);
    m_vm.library().setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::cancelRename(const QUuid&)
{
    setEditingRecordingID(std::nullopt);
    m_vm.library().setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::toggleEnhanced(const QUuid& id)
{
    const auto toggled = item(id);
    if (!toggled)
        return;
    const auto& selected = m_vm.library().selectedRecording();
    if (!selected || selected->id != id)
        m_vm.library().selectRecording(*toggled);
    m_vm.library().setPlayingEnhanced(!m_vm.library().isPlayingEnhanced());
}

void SidebarView::setEditingRecordingID(const std::optional<QUuid>& id)
{
    if (id == m_editingRecordingID)
        return;
    if (m_editingRecordingID) {
        const int row = m_model->rowOf(*m_editingRecordingID);
        if (row >= 0)
            m_list->closeRenameEditor(row);
    }
    m_editingRecordingID = id;
    m_model->setEditingId(id);
    if (id)
        openRowEditor();
    m_vm.library().setIsRenamingActive(id.has_value());
}

void SidebarView::openRowEditor()
{
    const QUuid id = *m_editingRecordingID;
    const int row = m_model->rowOf(id);
    if (row < 0 || m_list->renameEditor(row))
        return;
    RowRenameEditor* editor = m_list->openRenameEditor(row);
    if (!editor)
        return;
    editor->open(m_editingTitleText);
    connect(editor, &RowRenameEditor::textEdited, this, [this](const QString& text) { m_editingTitleText = text; });
    connect(editor, &RowRenameEditor::commitRequested, this, [this, id] { commitRename(id); });
    connect(editor, &RowRenameEditor::cancelRequested, this, [this, id] { cancelRename(id); });
}

// --- Requests of the recording in progress ---

void SidebarView::activeClicked()
{
    releaseSearchFocus();
    m_vm.library().setSelectedRecording(std::nullopt);
    releaseFocusSoon();
}

void SidebarView::startActiveRename()
{
    releaseSearchFocus();
    setEditingRecordingID(std::nullopt);
    m_editingActiveTitleText = SidebarRules::activeRowTitle(m_vm.recorder().activeRecordingTitle());
    if (RowRenameEditor* editor = m_isEditingActiveRecording ? m_list->renameEditor(0) : nullptr)
        editor->setText(m_editingActiveTitleText);
    setEditingActiveRecording(true);
}

void SidebarView::commitActiveRename()
{
    if (const auto title = SidebarRules::activeRenameTitle(m_editingActiveTitleText))
        m_vm.recorder().renameActiveRecording(*title);
    setEditingActiveRecording(false);
    m_vm.library().setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::cancelActiveRename()
{
    setEditingActiveRecording(false);
    m_vm.library().setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::setEditingActiveRecording(bool editing)
{
    if (editing == m_isEditingActiveRecording)
        return;
    m_isEditingActiveRecording = editing;
    if (!editing && m_model->hasActiveRow())
        m_list->closeRenameEditor(0);
    refreshActiveRow();
    if (editing)
        openActiveEditor();
    m_vm.library().setIsRenamingActive(editing);
}

void SidebarView::openActiveEditor()
{
    if (!m_model->hasActiveRow() || m_list->renameEditor(0))
        return;
    RowRenameEditor* editor = m_list->openRenameEditor(0);
    if (!editor)
        return;
    editor->open(m_editingActiveTitleText);
    connect(editor, &RowRenameEditor::textEdited, this,
            [this](const QString& text) { m_editingActiveTitleText = text; });
    connect(editor, &RowRenameEditor::commitRequested, this, &SidebarView::commitActiveRename);
    connect(editor, &RowRenameEditor::cancelRequested, this, &SidebarView::cancelActiveRename);
}
