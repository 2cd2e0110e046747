#include "app/AppDelegate.h"
#include "app/QtClipboard.h"
#include "app/QuitSignals.h"
#include "app/SingleInstanceGuard.h"
#include "app/WindowFocusRelease.h"
#include "common/Settings.h"
#include "viewmodels/RecordingViewModel.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));

    // A second instance would take the first one's live capture for a leftover.
    SingleInstanceGuard guard;
    if (!guard.claim()) {
        if (guard.notifyRunningInstance())
            return 0;
        std::fprintf(stderr, "Nimbrel is already running but does not answer.\n");
        return 1;
    }

    AppDelegate delegate(QApplication::arguments(), Settings::shared());
    delegate.applicationDidFinishLaunching();

    RecordingViewModel::Collaborators collaborators;
    collaborators.clipboard = std::make_unique<QtClipboard>();
    collaborators.focus = std::make_unique<WindowFocusRelease>([&delegate] { return delegate.mainWindow(); });
    RecordingViewModel viewModel(std::move(collaborators));

    // The main window is made here from the view model once the views exist:
    // delegate.setMainWindow(new MainWindow(viewModel));
    delegate.presentMainWindow();

    QObject::connect(&guard, &SingleInstanceGuard::showRequested, &delegate,
                     &AppDelegate::applicationShouldHandleReopen);
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &delegate, &AppDelegate::requestQuit);

    return app.exec();
}
