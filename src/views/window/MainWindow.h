#pragma once

#include <QWidget>

class MeetingAlertBanners;
class RecordingViewModel;
class SidebarView;
class SourceControlBar;
class SpaceKeyFilter;
class StatusMessageView;
class TransportControlsView;
class QMenu;
class QSplitter;
class QToolButton;

// The main window: the source control bar on top, the library column
// and the detail area side by side, the transport bar at the bottom, and over
// them, stacked from the top, the meeting banners and the status message. It
// owns the Space shortcut.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(RecordingViewModel& vm, QWidget* parent = nullptr);
    ~MainWindow() override;

    SidebarView* sidebar() const { return m_sidebar; }
    TransportControlsView* transportBar() const { return m_transport; }
    StatusMessageView* statusMessage() const { return m_status; }
    MeetingAlertBanners* meetingBanners() const { return m_banners; }
    QWidget* detailArea() const { return m_detail; }
    QSplitter* splitter() const { return m_splitter; }
    SpaceKeyFilter* spaceKeyFilter() const { return m_spaceKeys; }
    SourceControlBar* sourceControlBar() const { return m_sourceBar; }

    // The window's menu button (top right) and its menu, which the
    // application fills with its commands.
    QToolButton* menuButton() const { return m_menuButton; }
    QMenu* appMenu() const { return m_appMenu; }

    // Places for the parts built elsewhere; the bar sits in its slot.
    QWidget* sourceControlBarSlot() const { return m_sourceBarSlot; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void installKeys();
    // Shift+F10: the menu of whatever holds the keyboard, as the Menu key gives it.
    void contextMenuKey();
    void placeOverlay();
    void detailClicked();

    RecordingViewModel& m_vm;
    QWidget* m_sourceBarSlot;
    SourceControlBar* m_sourceBar;
    QToolButton* m_menuButton;
    QMenu* m_appMenu;
    QSplitter* m_splitter;
    SidebarView* m_sidebar;
    QWidget* m_detail;
    TransportControlsView* m_transport;
    MeetingAlertBanners* m_banners;
    StatusMessageView* m_status;
    SpaceKeyFilter* m_spaceKeys;
    bool m_activatedWithFocus = false;
};
