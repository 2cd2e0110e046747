#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;
class SettingsWindowController;
class ShortcutPassThrough;

// The application's commands: "About Nimbrel", "Settings..." (Ctrl+,),
// "Check for Updates..." (Ctrl+U) and "Quit Nimbrel" (Ctrl+Q), for the main
// window's menu. Their shortcuts work in every window of the app, also while
// a text field has the keyboard.
class AppCommands : public QObject {
    Q_OBJECT
public:
    // `checkForUpdates` runs a visible check; without one the command stays disabled.
    AppCommands(SettingsWindowController& settingsWindow, std::function<void()> checkForUpdates,
                QObject* parent = nullptr);

    QAction* about() const { return m_about; }
    QAction* settings() const { return m_settings; }
    QAction* checkForUpdates() const { return m_checkForUpdates; }
    QAction* quit() const { return m_quit; }

    // Fills `menu` (About, separator, Settings..., Check for Updates...,
    // separator, Quit Nimbrel) and gives `window` the shortcuts.
    void install(QMenu& menu, QWidget& window);

Q_SIGNALS:
    void quitRequested();

private:
    QAction* m_about;
    QAction* m_settings;
    QAction* m_checkForUpdates;
    QAction* m_quit;
    ShortcutPassThrough* m_passThrough = nullptr;
};
