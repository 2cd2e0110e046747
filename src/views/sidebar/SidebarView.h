#pragma once

#include "models/RecordingItem.h"
#include "views/logic/RecordingRowRules.h"
#include "views/sidebar/RecordingList.h"

#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class InlineRenameField;
class MergePanel;
class QLabel;
class QMessageBox;
class QMenu;
class QStackedWidget;
class RecordingListModel;
class RecordingViewModel;
class RowRenameEditor;
class SearchBox;

// The library column: search, header with the count, and the list of
// recordings (the one in progress first) or the empty state. It keeps only
// the state of the keyboard and of the rename fields; everything else comes
// from the view model and goes back to it.
class SidebarView : public QWidget {
    Q_OBJECT
public:
    explicit SidebarView(RecordingViewModel& vm, QWidget* parent = nullptr);

    // Shows a recording's file in the file manager; replaceable for tests.
    using RevealHandler = std::function<void(const RecordingItem&)>;
    void setRevealHandler(RevealHandler handler);

    // Takes the keyboard from the search field (a click elsewhere, Return).
    void releaseSearchFocus();

    // The window's keys. Each acts on the selected recording exactly as its
    // row's menu entry does, and does nothing where that entry is missing
    // or greyed out.
    void renameSelection();
    void deleteSelection();
    // Opens the selected row's context menu beside the row; false when no
    // row of the list is selected.
    bool openSelectionMenu();
    // Puts the keyboard into the search field, its text selected.
    void focusSearch();
    // Empties the search; false when it was empty already.
    bool clearSearch();

    SearchBox* searchBox() const { return m_search; }
    RecordingList* list() const { return m_list; }
    const RecordingListModel& listModel() const;
    // The listed recordings, in order, without the recording in progress.
    QList<RecordingItem> listedRecordings() const;
    // The list's row of a recording, or -1.
    int rowOf(const QUuid& id) const;
    InlineRenameField* renameField(const QUuid& id) const;
    InlineRenameField* activeRenameField() const;
    // The context menus of a saved recording's row and of the recording in progress.
    void populateRowMenu(const QUuid& id, QMenu& menu);
    void populateActiveMenu(QMenu& menu);
    QString headerTitle() const;
    QString headerCount() const;
    bool showsEmptyState() const;
    QString emptyTitle() const;
    QString emptySubtitle() const;
    // Shown only in merge mode.
    MergePanel* mergePanel() const { return m_mergePanel; }
    // The question before merging, while it is asked; else null.
    QMessageBox* mergeConfirmation() const { return m_mergeConfirmation; }

    std::optional<QUuid> editingRecordingID() const { return m_editingRecordingID; }
    bool isEditingActiveRecording() const { return m_isEditingActiveRecording; }
    QString editingTitleText() const { return m_editingTitleText; }
    QString editingActiveTitleText() const { return m_editingActiveTitleText; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectViewModel();

    void syncRows();
    void refreshRowFlags();
    void refreshHeader();
    void refreshEmptyState();
    void refreshActiveRow();
    void followSearchFocus();
    void stepSelection(int step);
    void recorderStateChanged();
    void refreshMerge();
    void askToMerge();
    // Escape leaves merge mode, else empties the search; true when it did either.
    bool escapePressed();

    bool searchHoldsFocus() const;

    // What the user does on the list's rows.
    void listRowClicked(int row);
    void listRowDoubleClicked(int row);
    void listPartClicked(int row, RecordingList::Part part);
    void showMenu(int row, const QPoint& globalPosition);
    RecordingRowRules::State rowState(int row) const;

    // Row requests.
    void rowClicked(const QUuid& id);
    void startRename(const QUuid& id);
    void commitRename(const QUuid& id);
    void cancelRename(const QUuid& id);
    void toggleEnhanced(const QUuid& id);
    void runRowAction(const QUuid& id, RecordingRowRules::Action action);
    // The selected recording's row when its menu offers `action` enabled.
    std::optional<QUuid> selectionOffering(RecordingRowRules::Action action) const;
    std::optional<RecordingItem> item(const QUuid& id) const;

    // Requests of the recording in progress.
    void activeClicked();
    void startActiveRename();
    void commitActiveRename();
    void cancelActiveRename();

    void setEditingRecordingID(const std::optional<QUuid>& id);
    void setEditingActiveRecording(bool editing);
    void openRowEditor();
    void openActiveEditor();
    void releaseFocusSoon();

    RecordingViewModel& m_vm;
    RevealHandler m_reveal;

    SearchBox* m_search = nullptr;
    QLabel* m_headerTitle = nullptr;
    QLabel* m_headerCount = nullptr;
    QStackedWidget* m_body = nullptr;
    QWidget* m_emptyState = nullptr;
    QLabel* m_emptyTitle = nullptr;
    QLabel* m_emptySubtitle = nullptr;
    RecordingList* m_list = nullptr;
    RecordingListModel* m_model = nullptr;
    QWidget* m_mergeArea = nullptr;
    MergePanel* m_mergePanel = nullptr;
    QMessageBox* m_mergeConfirmation = nullptr;
    QWidget* m_watchedWindow = nullptr;

    std::optional<QUuid> m_editingRecordingID;
    QString m_editingTitleText;
    bool m_isEditingActiveRecording = false;
    QString m_editingActiveTitleText;
};
