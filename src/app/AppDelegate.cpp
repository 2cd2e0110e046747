#include "app/AppDelegate.h"

#include "app/MenuBarManager.h"
#include "app/RecordingSleepGuard.h"
#include "common/ConsoleLine.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "common/SettingsTable.h"
#include "services/notifications/NotificationHelper.h"
#include "services/login/LaunchAtLoginManager.h"
#include "services/notifications/NotificationHelper.h"
#include "services/sleep/SleepManager.h"
#include "services/updates/UpdateManager.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

AppDelegate::Services AppDelegate::Services::shared()
{
    return {&LaunchAtLoginManager::shared, &MenuBarManager::shared, &SleepManager::shared};
}

AppDelegate::AppDelegate(QStringList arguments, Settings& settings, Services services, QObject* parent)
    : QObject(parent)
    , m_arguments(std::move(arguments))
    , m_settings(settings)
    , m_services(std::move(services))
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    m_settings.registerDefaults(SettingsTable::launchDefaults());
    if (m_services.launchAtLogin)
        m_services.launchAtLogin().syncRegistration();
    m_startsHidden = startsHidden(m_arguments);
    setupNotifications();
    // Update checks: a launch ping and a check 3 s from now, then every six
    // hours; nothing at all when automatic checks are off or no host is set.
    UpdateManager::shared().startPeriodicChecks(21600);
    if (m_services.menuBar) {
        MenuBarManager& menuBar = m_services.menuBar();
        menuBar.setup();
        connect(&menuBar, &MenuBarManager::quitRequested, this, &AppDelegate::requestQuit, Qt::UniqueConnection);
    }

    // Closing the last window is decided here, not by Qt.
    QApplication::setQuitOnLastWindowClosed(false);
    connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] {
        if (applicationShouldTerminateAfterLastWindowClosed())
            requestQuit();
    });
}

void AppDelegate::setupNotifications()
{
    NotificationHelper& notifications = NotificationHelper::shared();
    // Every answer to a notification brings the main window forward first.
    QPointer<AppDelegate> self(this);
    notifications.setReopenMainWindow([self] {
        if (self)
            self->applicationShouldHandleReopen();
    });
    notifications.requestAuthorization();
}

bool AppDelegate::startsHidden(const QStringList& arguments)
{
    return LaunchAtLoginManager::shouldStartMinimized(arguments);
}

void AppDelegate::viewModelReady(RecordingViewModel& viewModel)
{
    if (m_services.sleep)
        m_sleepGuard = std::make_unique<RecordingSleepGuard>(m_services.sleep(), viewModel);
}

void AppDelegate::setMainWindow(QWidget* window)
{
    m_mainWindow = window;
    if (m_services.menuBar && window)
        m_services.menuBar().registerMainWindow(window);
}

void AppDelegate::presentMainWindow()
{
    if (!m_mainWindow)
        return;
    if (m_startsHidden) {
        // After the launch steps, unless the user asked for the window meanwhile.
        QTimer::singleShot(0, this, [this] {
            if (!m_mainWindow)
                return;
            if (!m_services.menuBar)
                m_mainWindow->hide();
            else if (!m_services.menuBar().hasUserRequestedOpen())
                m_services.menuBar().hideMainWindowAtLaunch(m_mainWindow);
        });
        return;
    }
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

bool AppDelegate::applicationShouldTerminateAfterLastWindowClosed() const
{
    if (const RecordingViewModel* viewModel = RecordingViewModel::shared()) {
        if (viewModel->recorder().recorderState() != RecorderState::idle)
            return false;
    }
    return !m_settings.boolValue(SettingsKeys::keepInMenuBarOnClose);
}

void AppDelegate::applicationShouldHandleReopen()
{
    ConsoleLine::print(QStringLiteral("[App] asked to show the main window"));
    if (m_services.menuBar) {
        m_services.menuBar().reopenMainWindow();
        return;
    }
    if (!m_mainWindow)
        return;
    m_mainWindow->showNormal();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void AppDelegate::requestQuit()
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_quitClock.start();
    if (RecordingViewModel* viewModel = RecordingViewModel::shared()) {
        if (!finishRecordingBeforeQuit(*viewModel, m_quitWaitLimit)) {
            // The capture file is taken back into the library at the next start.
            ConsoleLine::print(QStringLiteral("[App] quitting before the recording was saved"));
        }
        // The stop's save and any other still being written, within what is
        // left of the same budget.
        if (!viewModel->library().waitForLibrarySaves(quitTimeLeft())) {
            ConsoleLine::print(QStringLiteral("[App] quitting before the library index was written"));
        }
    }
    // Not quit(): that first asks every window to close, and the main
    // window's close only hides it while the app stays in the tray.
    QCoreApplication::exit(0);
}

std::chrono::milliseconds AppDelegate::quitTimeLeft() const
{
    if (!m_quitClock.isValid())
        return m_quitWaitLimit;
    return std::max(m_quitWaitLimit - std::chrono::milliseconds(m_quitClock.elapsed()), std::chrono::milliseconds(0));
}

bool AppDelegate::finishRecordingBeforeQuit(RecordingViewModel& viewModel, std::chrono::milliseconds limit)
{
    if (viewModel.recorder().recorderState() == RecorderState::idle)
        return true;

    QEventLoop loop;
    // A recording still starting is stopped once it runs; the stop saves it in
    // the same turn that makes the state idle.
    const auto advance = [&viewModel, &loop] {
        switch (viewModel.recorder().recorderState()) {
        case RecorderState::recording:
        case RecorderState::paused:
            viewModel.recorder().stopRecording();
            break;
        case RecorderState::idle:
            loop.quit();
            break;
        case RecorderState::starting:
        case RecorderState::stopping:
            break;
        }
    };
    const QMetaObject::Connection watch
        = connect(&viewModel.recorder(), &RecorderViewModel::recorderStateChanged, &loop, advance);
    advance();
    if (viewModel.recorder().recorderState() != RecorderState::idle) {
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        loop.exec();
    }
    disconnect(watch);
    return viewModel.recorder().recorderState() == RecorderState::idle;
}
