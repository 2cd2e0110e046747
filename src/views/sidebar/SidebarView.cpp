#include "views/sidebar/SidebarView.h"

#include "models/RecordingsStorage.h"
#include "platform/dbus/FileManagerReveal.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/common/FocusRelease.h"
#include "views/logic/SidebarRules.h"
#include "views/sidebar/ActiveRecordingRowView.h"
#include "views/sidebar/RecordingList.h"
#include "views/sidebar/RecordingRowView.h"
#include "views/sidebar/SearchBox.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The search field takes the keyboard this long after the column is shown.
constexpr int initialSearchFocusDelayMs = 50;

QLabel* plainLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(Style::css(color)));
    return label;
}

} // namespace

SidebarView::SidebarView(RecordingViewModel& vm, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
    , m_reveal([](const RecordingItem& item) { FileManagerReveal::showItem(RecordingsStorage::shared().fileURL(item)); })
{
    setObjectName(QStringLiteral("sidebar"));
    buildLayout();
    connectViewModel();
    syncRows();
    refreshActiveRow();
    refreshHeader();
    refreshEmptyState();
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
    connect(m_search, &SearchBox::textEdited, this, [this](const QString& text) { m_vm.setSearchText(text); });
    connect(m_search, &SearchBox::cleared, this, [this] { m_vm.setSearchText(QString()); });
    connect(m_search, &SearchBox::submitted, this, [this] {
        releaseSearchFocus();
        releaseFocusSoon();
    });

    auto* header = new QHBoxLayout;
    header->setContentsMargins(14, 4, 14, 4);
    m_headerTitle = plainLabel(SidebarRules::headerTitle(), Style::font(11, TextWeight::bold),
                               Style::color(ColorRole::secondary), content);
    m_headerCount = plainLabel(QString(), Style::font(11, TextWeight::semibold), Style::color(ColorRole::secondary),
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
    m_emptyTitle = plainLabel(QString(), Style::font(13, TextWeight::medium), Style::color(ColorRole::secondary),
                              m_emptyState);
    m_emptyTitle->setAlignment(Qt::AlignCenter);
    m_emptySubtitle = plainLabel(QString(), Style::font(11), Style::color(ColorRole::secondary, 0.8), m_emptyState);
    m_emptySubtitle->setAlignment(Qt::AlignCenter);
    m_emptySubtitle->setWordWrap(true);
    empty->addWidget(emptyIcon);
    empty->addWidget(m_emptyTitle);
    empty->addWidget(m_emptySubtitle);
    empty->addStretch(1);
    m_body->addWidget(m_emptyState);

    m_list = new RecordingList(m_body);
    m_body->addWidget(m_list);
    connect(m_list, &RecordingList::stepRequested, this, &SidebarView::stepSelection);

    m_activeRow = new ActiveRecordingRowView;
    m_activeRow->setSelected(true);
    m_list->setActiveRow(m_activeRow);
    m_activeRow->hide();
    connect(m_activeRow, &ActiveRecordingRowView::selectRequested, this, &SidebarView::activeClicked);
    connect(m_activeRow, &ActiveRecordingRowView::startEditingRequested, this, &SidebarView::startActiveRename);
    connect(m_activeRow, &ActiveRecordingRowView::commitEditingRequested, this, &SidebarView::commitActiveRename);
    connect(m_activeRow, &ActiveRecordingRowView::cancelEditingRequested, this, &SidebarView::cancelActiveRename);
    connect(m_activeRow, &ActiveRecordingRowView::editingTextChanged, this,
            [this](const QString& text) { m_editingActiveTitleText = text; });
    connect(m_activeRow, &ActiveRecordingRowView::pauseResumeRequested, this, [this] { m_vm.pauseResumeRecording(); });
    connect(m_activeRow, &ActiveRecordingRowView::stopRequested, this, [this] { m_vm.stopRecording(); });
}

void SidebarView::connectViewModel()
{
    // Every change of the library is followed by filteredRecordingsChanged,
    // which brings the empty state up to date once the rows are.
    connect(&m_vm, &RecordingViewModel::recordingsChanged, this, &SidebarView::refreshHeader);
    connect(&m_vm, &RecordingViewModel::filteredRecordingsChanged, this, [this] {
        syncRows();
        refreshEmptyState();
    });
    connect(&m_vm, &RecordingViewModel::selectedRecordingChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm, &RecordingViewModel::transcribingRecordingIDsChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm, &RecordingViewModel::enhancingRecordingIDsChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm, &RecordingViewModel::isPlayingEnhancedChanged, this, &SidebarView::refreshRowFlags);
    connect(&m_vm, &RecordingViewModel::recorderStateChanged, this, &SidebarView::recorderStateChanged);
    connect(&m_vm, &RecordingViewModel::activeRecordingTitleChanged, this, &SidebarView::refreshActiveRow);
    connect(&m_vm, &RecordingViewModel::recordingDurationChanged, this,
            [this] { m_activeRow->setDuration(m_vm.recordingDuration()); });
    connect(&m_vm, &RecordingViewModel::searchTextChanged, this, [this] {
        m_search->setText(m_vm.searchText());
        for (RecordingRowView* row : std::as_const(m_rows))
            row->setSearchText(m_vm.searchText());
        refreshActiveRow();
    });
    connect(&m_vm, &RecordingViewModel::isSearchFocusedChanged, this, &SidebarView::followSearchFocus);
}

// --- What the column shows ---

void SidebarView::syncRows()
{
    const QList<RecordingItem> listed = m_vm.filteredRecordings();
    QHash<QUuid, RecordingRowView*> kept;
    QList<QWidget*> order;
    for (const RecordingItem& recording : listed) {
        RecordingRowView* row = m_rows.take(recording.id);
        if (row)
            row->setItem(recording);
        else
            row = makeRow(recording);
        kept.insert(recording.id, row);
        order.append(row);
    }
    // What is left has left the list.
    for (RecordingRowView* gone : std::as_const(m_rows)) {
        if (m_editingRecordingID == gone->item().id)
            setEditingRecordingID(std::nullopt);
        gone->deleteLater();
    }
    m_rows = kept;
    m_list->arrange(order);
    refreshRowFlags();
}

RecordingRowView* SidebarView::makeRow(const RecordingItem& recording)
{
    auto* row = new RecordingRowView(recording);
    row->setSearchText(m_vm.searchText());
    const QUuid id = recording.id;
    connect(row, &RecordingRowView::selectRequested, this, [this, id] { rowClicked(id); });
    connect(row, &RecordingRowView::startEditingRequested, this, [this, id] { startRename(id); });
    connect(row, &RecordingRowView::commitEditingRequested, this, [this, id] { commitRename(id); });
    connect(row, &RecordingRowView::cancelEditingRequested, this, [this, id] { cancelRename(id); });
    connect(row, &RecordingRowView::editingTextChanged, this, [this](const QString& text) { m_editingTitleText = text; });
    connect(row, &RecordingRowView::exportRequested, this, [this, id] {
        if (const auto found = item(id))
            m_vm.exportToDownloads(*found);
    });
    connect(row, &RecordingRowView::deleteRequested, this, [this, id] {
        if (const auto found = item(id))
            m_vm.deleteRecording(*found);
    });
    connect(row, &RecordingRowView::enhanceRequested, this, [this, id] {
        if (const auto found = item(id))
            m_vm.enhanceRecording(*found);
    });
    connect(row, &RecordingRowView::toggleEnhancedRequested, this, [this, id] { toggleEnhanced(id); });
    connect(row, &RecordingRowView::showInFileManagerRequested, this, [this, id] {
        if (const auto found = item(id); found && m_reveal)
            m_reveal(*found);
    });
    return row;
}

void SidebarView::refreshRowFlags()
{
    const auto& selected = m_vm.selectedRecording();
    const std::optional<QUuid> selectedId = selected ? std::optional<QUuid>(selected->id) : std::nullopt;
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        RecordingRowView::Flags flags;
        flags.isSelected = SidebarRules::isRowSelected(m_vm.recorderState(), selectedId, it.key());
        flags.isTranscribing = m_vm.transcribingRecordingIDs().contains(it.key());
        flags.isEnhancing = m_vm.enhancingRecordingIDs().contains(it.key());
        flags.isPlayingEnhanced = m_vm.isPlayingEnhanced();
        it.value()->setFlags(flags);
    }
}

void SidebarView::refreshHeader()
{
    m_headerCount->setText(QString::number(SidebarRules::headerCount(m_vm.recordings().size(), m_vm.recorderState())));
}

void SidebarView::refreshEmptyState()
{
    // The rows are the filtered list: asking the view model again would search the library again.
    const bool empty = SidebarRules::showsEmptyState(m_rows.isEmpty(), m_vm.recorderState());
    const auto texts = SidebarRules::emptyStateText(m_vm.recordings().isEmpty());
    m_emptyTitle->setText(texts.title);
    m_emptySubtitle->setText(texts.subtitle);
    m_body->setCurrentWidget(empty ? m_emptyState : static_cast<QWidget*>(m_list));
}

void SidebarView::refreshActiveRow()
{
    const auto& title = m_vm.activeRecordingTitle();
    m_activeRow->setTitle(SidebarRules::activeRowTitle(title));
    m_activeRow->setDuration(m_vm.recordingDuration());
    m_activeRow->setPaused(m_vm.recorderState() == RecorderState::paused);
    m_activeRow->setVisible(SidebarRules::showsActiveRow(m_vm.recorderState(), title, m_vm.searchText()));
}

void SidebarView::recorderStateChanged()
{
    const RecorderState state = m_vm.recorderState();
    if (m_isEditingActiveRecording && (state == RecorderState::stopping || state == RecorderState::idle)) {
        // Stopped with the rename field open: what the user typed is the
        // recording's name (the view model takes a rename while it stops), and
        // the closed field leaves no renaming behind to block Space.
        if (const auto title = SidebarRules::activeRenameTitle(m_editingActiveTitleText))
            m_vm.renameActiveRecording(*title);
        setEditingActiveRecording(false);
        releaseFocusSoon();
    }
    refreshActiveRow();
    refreshHeader();
    refreshEmptyState();
    refreshRowFlags();
}

QList<RecordingRowView*> SidebarView::visibleRows() const
{
    QList<RecordingRowView*> rows;
    for (QWidget* row : m_list->rows())
        rows.append(static_cast<RecordingRowView*>(row));
    return rows;
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
    m_vm.setIsSearchFocused(false);
}

void SidebarView::followSearchFocus()
{
    const bool wanted = m_vm.isSearchFocused();
    if (wanted == searchHoldsFocus())
        return;
    if (wanted) {
        m_search->field()->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The view model clears the flag whenever the selected recording is
    // replaced, also when a transcription updates it. Only the user's own
    // actions take the keyboard from the search field; the flag stays true.
    m_vm.setIsSearchFocused(true);
}

bool SidebarView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_search->field()) {
        if (event->type() == QEvent::FocusIn) {
            m_vm.setIsSearchFocused(true);
        } else if (event->type() == QEvent::FocusOut) {
            // Another window or a menu taking the keyboard leaves the field
            // the focus of this window.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_vm.setIsSearchFocused(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SidebarView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(initialSearchFocusDelayMs, this, [this] {
        m_search->field()->setFocus(Qt::OtherFocusReason);
        m_vm.setIsSearchFocused(true);
    });
}

void SidebarView::stepSelection(int step)
{
    const QList<RecordingItem> listed = m_vm.filteredRecordings();
    if (listed.isEmpty())
        return;
    qsizetype index = -1;
    if (const auto& selected = m_vm.selectedRecording()) {
        for (qsizetype i = 0; i < listed.size(); ++i) {
            if (listed[i].id == selected->id)
                index = i;
        }
    }
    const qsizetype next = index < 0 ? (step > 0 ? 0 : listed.size() - 1)
                                     : std::clamp<qsizetype>(index + step, 0, listed.size() - 1);
    if (next == index)
        return;
    // The list's own selection writes the property directly.
    m_vm.setSelectedRecording(listed[next]);
    if (RecordingRowView* row = m_rows.value(listed[next].id))
        m_list->ensureWidgetVisible(row);
}

void SidebarView::releaseFocusSoon()
{
    FocusRelease::schedule(this);
}

// --- Requests of the saved rows ---

std::optional<RecordingItem> SidebarView::item(const QUuid& id) const
{
    if (RecordingRowView* row = m_rows.value(id))
        return row->item();
    return std::nullopt;
}

void SidebarView::rowClicked(const QUuid& id)
{
    const auto clicked = item(id);
    releaseSearchFocus();
    releaseFocusSoon();
    const auto click = SidebarRules::rowClick(m_vm.recorderState(), m_vm.isTrimmingActive());
    if (click.cancelTrimming)
        m_vm.cancelTrimming();
    if (click.select && clicked)
        m_vm.selectRecording(*clicked);
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
            m_vm.renameRecording(*renamed, *title);
    }
    setEditingRecordingID(std::nullopt);
    m_vm.setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::cancelRename(const QUuid&)
{
    setEditingRecordingID(std::nullopt);
    m_vm.setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::toggleEnhanced(const QUuid& id)
{
    const auto toggled = item(id);
    if (!toggled)
        return;
    const auto& selected = m_vm.selectedRecording();
    if (!selected || selected->id != id)
        m_vm.selectRecording(*toggled);
    m_vm.setPlayingEnhanced(!m_vm.isPlayingEnhanced());
}

void SidebarView::setEditingRecordingID(const std::optional<QUuid>& id)
{
    if (id == m_editingRecordingID)
        return;
    if (m_editingRecordingID) {
        if (RecordingRowView* row = m_rows.value(*m_editingRecordingID))
            row->setEditing(false);
    }
    m_editingRecordingID = id;
    if (id) {
        if (RecordingRowView* row = m_rows.value(*id))
            row->setEditing(true, m_editingTitleText);
    }
    m_vm.setIsRenamingActive(id.has_value());
}

// --- Requests of the recording in progress ---

void SidebarView::activeClicked()
{
    releaseSearchFocus();
    m_vm.setSelectedRecording(std::nullopt);
    releaseFocusSoon();
}

void SidebarView::startActiveRename()
{
    releaseSearchFocus();
    setEditingRecordingID(std::nullopt);
    m_editingActiveTitleText = SidebarRules::activeRowTitle(m_vm.activeRecordingTitle());
    m_activeRow->setEditingText(m_editingActiveTitleText);
    setEditingActiveRecording(true);
}

void SidebarView::commitActiveRename()
{
    if (const auto title = SidebarRules::activeRenameTitle(m_editingActiveTitleText))
        m_vm.renameActiveRecording(*title);
    setEditingActiveRecording(false);
    m_vm.setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::cancelActiveRename()
{
    setEditingActiveRecording(false);
    m_vm.setIsRenamingActive(false);
    releaseFocusSoon();
}

void SidebarView::setEditingActiveRecording(bool editing)
{
    if (editing == m_isEditingActiveRecording)
        return;
    m_isEditingActiveRecording = editing;
    m_activeRow->setEditing(editing, m_editingActiveTitleText);
    m_vm.setIsRenamingActive(editing);
}
