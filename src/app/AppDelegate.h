#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <memory>
#include <functional>

class LaunchAtLoginManager;
class MenuBarManager;
class RecordingSleepGuard;
class RecordingViewModel;
class Settings;
class SleepManager;

// Prepares the process once it has started, and decides what happens when the
// last window closes, when the user asks for the app again and when it is
// asked to quit. Reaches the view model only through RecordingViewModel::shared().
class AppDelegate : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds quitWaitLimit{10000};

    // The desktop services the launch steps use, reached on first need (the
    // login item reads the defaults registered before it). An empty one is
    // left out: tests leave out what they do not look at.
    struct Services {
        std::function<LaunchAtLoginManager&()> launchAtLogin;
        std::function<MenuBarManager&()> menuBar;
        std::function<SleepManager&()> sleep;

        // The shared instances.
        static Services shared();
    };

    AppDelegate(QStringList arguments, Settings& settings, Services services = {}, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The launch steps, in order: registers the defaults, brings the login
    // item in line with its setting, chooses how the app shows itself and
    // sets up the tray item. Call before the view model is made: it reads
    // the defaults.
    void applicationDidFinishLaunching();

    // Started by the login item ("--login") or with "--minimized" / "-minimized"
    // as a whole argument: no window until the user asks for it.
    static bool startsHidden(const QStringList& arguments);
    bool isStartingHidden() const { return m_startsHidden; }

    // Once the view model exists: a recording holds the sleep inhibitor.
    void viewModelReady(RecordingViewModel& viewModel);

    // The main window, once the views make one; the tray item takes over its close.
    void setMainWindow(QWidget* window);
    QWidget* mainWindow() const { return m_mainWindow; }
    // Shows the main window unless the app started hidden; then it is out of
    // sight (minimised when no tray can bring it back).
    void presentMainWindow();

    bool applicationShouldTerminateAfterLastWindowClosed() const;
    // Another start of the app, or the tray: bring the main window forward.
    void applicationShouldHandleReopen();

    // Lets a recording in progress be stopped and saved, and the library's
    // pending saves reach the disk (waiting at most the quit limit for both),
    // then quits. Never refuses.
    void requestQuit();
    void setQuitWaitLimit(std::chrono::milliseconds limit) { m_quitWaitLimit = limit; }
    // What is left of the quit's budget: all of it before a quit was asked for.
    std::chrono::milliseconds quitTimeLeft() const;

    // Stops the recording in progress and runs the event loop until it has been
    // saved or `limit` has passed; true when nothing is left recording.
    static bool finishRecordingBeforeQuit(RecordingViewModel& viewModel, std::chrono::milliseconds limit);

private:
    void setupNotifications();

    QStringList m_arguments;
    Settings& m_settings;
    Services m_services;
    std::unique_ptr<RecordingSleepGuard> m_sleepGuard;
    bool m_startsHidden = false;
    bool m_quitting = false;
    QElapsedTimer m_quitClock;
    std::chrono::milliseconds m_quitWaitLimit = quitWaitLimit;
    QPointer<QWidget> m_mainWindow;
};
