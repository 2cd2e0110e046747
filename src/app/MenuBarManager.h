#pragma once

#include "app/TrayMenu.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class Settings;
class SettingsWindowController;

// The app's tray item and the main window's show and hide policy. The tray
// icon shows idle, recording or paused (with the elapsed time in its
// tooltip), refreshed every second; its menu is rebuilt each time it opens.
// With "keep in tray on close" on, closing the main window hides it; where
// no tray is there to bring it back, the window is minimised instead, so a
// running app always has something on screen the user can click.
// Main thread only.
class MenuBarManager : public QObject {
    Q_OBJECT
public:
    static MenuBarManager& shared();

    MenuBarManager(Settings& settings, SettingsWindowController& settingsWindow,
                   std::function<bool()> isDetectionEnabled, QObject* parent = nullptr);
    ~MenuBarManager() override;

    // Creates the tray item, its menu and the refresh; once.
    void setup();

    // The main window last found or registered, else the first top-level
    // window that counts as one.
    QWidget* findMainWindow();
    // Takes over the window's close: see the class comment.
    void registerMainWindow(QWidget* window);
    // Shows, de-minimises, raises and activates the main window on the next
    // turn of the event loop.
    void reopenMainWindow();
    bool hasUserRequestedOpen() const { return m_hasUserRequestedOpen; }
    // Puts the main window out of sight at a hidden start: hidden when the
    // tray can bring it back, minimised otherwise.
    void hideMainWindowAtLaunch(QWidget* window);

    // Redraws the tray icon and tooltip from the application core's state.
    void updateButton();
    TrayMenu::State currentState() const;
    TrayMenu::Button currentButton() const { return m_button; }

    // Whether the tray item is on screen now, so a hidden window can be reached.
    bool isTrayReachable() const;
    // Checked every second: when the tray host goes away while the main window
    // is hidden, the window comes back minimised, so the app stays within
    // reach. (Qt puts the item back by itself when a host returns.)
    void followTrayHost();
    QSystemTrayIcon* trayIcon() const { return m_trayIcon.get(); }
    QMenu* menu() const { return m_menu.get(); }

    // Replaces the menu's items with `entries`; a chosen one calls `perform`.
    static void fillMenu(QMenu& menu, const QList<TrayMenu::Entry>& entries,
                         const std::function<void(TrayMenu::Action)>& perform);

    // Not the tray item's own window, a popup, tool window or dialog, nor
    // the settings window (by its title or its frame's autosave name).
    static bool isMainWindowCandidate(const QWidget* window);

Q_SIGNALS:
    // "Quit Nimbrel" was chosen; the delegate quits.
    void quitRequested();
    void buttonChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void refreshDuration();
    void rebuildMenu();
    void perform(TrayMenu::Action action);
    void toggleRecording();
    void openSettings();
    // True when the close was turned into a hide or a minimise.
    bool interceptClose(QWidget* window);

    Settings& m_settings;
    SettingsWindowController& m_settingsWindow;
    std::function<bool()> m_isDetectionEnabled;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    QTimer m_updateTimer;
    QPointer<QWidget> m_cachedMainWindow;
    bool m_hasUserRequestedOpen = false;
    TrayMenu::Button m_button;
    bool m_iconSet = false;
    bool m_trayWasReachable = false;
};
