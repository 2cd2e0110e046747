#pragma once

#include "ViewModelFixture.h"
#include "app/WindowFocus.h"
#include "views/logic/RecordingRowRules.h"
#include "views/sidebar/RecordingList.h"
#include "views/window/MainWindow.h"

#include <memory>

class InlineRenameField;
class QMenu;
class SidebarView;
class TransportControlsView;

// The main window over a view model on fakes, shown and active on the
// offscreen platform, with animations off.
class WindowFixture : public ViewModelFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the view model and the window; seed the library before.
    MainWindow& makeWindow();
    // The app's own: a selection takes the keyboard from the window's fields.
    std::unique_ptr<FocusService> makeFocusService() override;

    SidebarView& sidebar() const;
    TransportControlsView& transport() const;
    QStringList rowTitles() const;

    // A saved recording's row in the sidebar's list: its look, the painted
    // parts the pointer acts on, its rename field and its context menu.
    RecordingRowRules::State rowState(const RecordingItem& item) const;
    void clickRow(const RecordingItem& item, RecordingList::Part part = RecordingList::Part::row);
    void doubleClickRow(const RecordingItem& item);
    InlineRenameField* renameField(const RecordingItem& item) const;
    bool isEditing(const RecordingItem& item) const;
    QString quote(const RecordingItem& item) const;
    void rowMenu(const RecordingItem& item, QMenu& menu) const;

    // The row of the recording in progress.
    bool activeRowShown() const;
    QString activeTitle() const;
    QString activeStatus() const;
    QString activeDuration() const;
    bool activePaused() const;
    void clickActive(RecordingList::Part part = RecordingList::Part::row);
    void doubleClickActive();
    InlineRenameField* activeRenameField() const;
    void activeMenu(QMenu& menu) const;

    void click(QWidget* widget);
    void doubleClick(QWidget* widget);
    // Runs the event loop for `ms` milliseconds.
    void pump(int ms);
    // Clicks into the search field, as a user who wants to type there; true
    // once it has the keyboard.
    bool clickIntoSearch();
    QWidget* focused() const;

    std::unique_ptr<MainWindow> m_window;
    WindowFocus* m_windowFocus = nullptr;
};
