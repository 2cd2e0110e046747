#include "app/AppCommands.h"
#include "app/AppDelegate.h"
#include "app/CommandLineOptions.h"
#include "app/MainWindowSetup.h"
#include "app/QtClipboard.h"
#include "app/QuitSignals.h"
#include "app/SettingsContent.h"
#include "app/SettingsWindowController.h"
#include "app/SingleInstanceGuard.h"
#include "app/TrayIcons.h"
#include "app/WindowFocus.h"
#include "common/ConsoleLine.h"
#include "common/Settings.h"
#include "models/FileReveal.h"
#include "platform/dbus/FileManagerReveal.h"
#include "services/meetings/MeetingDetector.h"
#include "services/notifications/NotificationHelper.h"
#include "services/updates/UpdateManager.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/window/MainWindow.h"

#include <QApplication>

#include <optional>

int main(int argc, char* argv[])
{
    // --help and --version answer before anything with side effects starts.
    if (const std::optional<int> status = CommandLineOptions::answerInformationRequest(argc, argv))
        return *status;

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setWindowIcon(TrayIcons::appIcon());

    // A second instance would take the first one's live capture for a leftover.
    SingleInstanceGuard guard;
    if (!guard.claim()) {
        if (guard.notifyRunningInstance())
            return 0;
        ConsoleLine::printError(QStringLiteral("Nimbrel is already running but does not answer."));
        return 1;
    }

    // The desktop's file manager shows exported copies and the library folder.
    FileReveal::install(&FileManagerReveal::showItem, &FileManagerReveal::showFolder);

    AppDelegate delegate(QApplication::arguments(), Settings::shared(), AppDelegate::Services::shared());
    delegate.applicationDidFinishLaunching();
    // The installer's quit goes through the delegate too: a plain quit would
    // ask the main window to close, which only hides it while the tray keeps
    // the app, and a recording in progress is saved first.
    UpdateManager::shared().setQuitHandler([&delegate] { delegate.requestQuit(); });

    RecordingViewModel::Collaborators collaborators;
    collaborators.clipboard = std::make_unique<QtClipboard>();
    // Selections (the one at the start too) free the keyboard for Space; the
    // library's own updates of the selection never do.
    auto focus = std::make_unique<WindowFocus>();
    WindowFocus* windowFocus = focus.get();
    collaborators.focus = std::move(focus);
    RecordingViewModel viewModel(std::move(collaborators));
    // The detector the view model took announces its offers as notifications.
    NotificationHelper::shared().followMeetingDetector(MeetingDetector::shared());
    delegate.viewModelReady(viewModel);

    SettingsWindowController::shared().setContentFactory(SettingsContent::factory());
    const auto window = MainWindowSetup::create(viewModel);
    windowFocus->setMainWindow(window.get());
    AppCommands commands(SettingsWindowController::shared(),
                         [] { UpdateManager::shared().checkForUpdates(true, false); });
    commands.install(*window->appMenu(), *window);
    QObject::connect(&commands, &AppCommands::quitRequested, &delegate, &AppDelegate::requestQuit);
    delegate.setMainWindow(window.get());
    delegate.presentMainWindow();
    // Once the loop runs, the app is up: a waiting installer may let go of
    // the old bundle, and a failed install is reported.
    QMetaObject::invokeMethod(
        &UpdateManager::shared(), [] { UpdateManager::shared().finishLastInstall(); }, Qt::QueuedConnection);

    QObject::connect(&guard, &SingleInstanceGuard::showRequested, &delegate,
                     &AppDelegate::applicationShouldHandleReopen);
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &delegate, &AppDelegate::requestQuit);

    const int status = app.exec();
    // Whatever ended the loop, the library is on disk before the instance
    // guard lets a second start take over.
    viewModel.library().waitForLibrarySaves(delegate.quitTimeLeft());
    return status;
}
