#pragma once

#include "ViewModelFixture.h"
#include "views/window/MainWindow.h"

#include <memory>

class ActiveRecordingRowView;
class RecordingRowView;
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

    SidebarView& sidebar() const;
    TransportControlsView& transport() const;
    RecordingRowView* row(const RecordingItem& item) const;
    ActiveRecordingRowView& activeRow() const;
    QStringList rowTitles() const;

    void click(QWidget* widget);
    void doubleClick(QWidget* widget);
    // Runs the event loop for `ms` milliseconds.
    void pump(int ms);
    QWidget* focused() const;

    std::unique_ptr<MainWindow> m_window;
};
