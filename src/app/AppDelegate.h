#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <chrono>

class RecordingViewModel;
class Settings;

// Prepares the process once it has started, and decides what happens when the
// last window closes, when the user asks for the app again and when it is
// asked to quit. Reaches the view model only through RecordingViewModel::shared().
class AppDelegate : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds quitWaitLimit{10000};

    explicit AppDelegate(QStringList arguments, Settings& settings, QObject* parent = nullptr);

    // Registers the defaults and chooses how the app shows itself. Call before
    // the view model is made: it reads the defaults.
    void applicationDidFinishLaunching();

    // Started by the login item ("--login") or with "--minimized" / "-minimized"
    // as a whole argument: no window until the user asks for it.
    static bool startsHidden(const QStringList& arguments);
    bool isStartingHidden() const { return m_startsHidden; }

    // The main window, once the views make one.
    void setMainWindow(QWidget* window);
    QWidget* mainWindow() const { return m_mainWindow; }
    // Shows the main window unless the app started hidden.
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
    bool m_startsHidden = false;
    bool m_quitting = false;
    QElapsedTimer m_quitClock;
    std::chrono::milliseconds m_quitWaitLimit = quitWaitLimit;
    QPointer<QWidget> m_mainWindow;
};
