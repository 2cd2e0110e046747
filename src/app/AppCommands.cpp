#include "app/AppCommands.h"

#include "app/AboutPanel.h"
#include "app/SettingsWindowController.h"
#include "app/ShortcutPassThrough.h"
#include "viewmodels/RecordingViewModel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QWidget>

AppCommands::AppCommands(SettingsWindowController& settingsWindow, std::function<void()> checkForUpdates,
                         QObject* parent)
    : QObject(parent)
    , m_about(new QAction(QStringLiteral("About Nimbrel"), this))
    , m_settings(new QAction(QStringLiteral("Settings..."), this))
    , m_checkForUpdates(new QAction(QStringLiteral("Check for Updates..."), this))
    , m_quit(new QAction(QStringLiteral("Quit Nimbrel"), this))
{
    m_settings->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    m_checkForUpdates->setShortcut(QKeySequence(QStringLiteral("Ctrl+U")));
    m_checkForUpdates->setEnabled(bool(checkForUpdates));
    m_quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    for (QAction* action : {m_settings, m_checkForUpdates, m_quit}) {
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setShortcutVisibleInContextMenu(true);
    }

    connect(m_about, &QAction::triggered, this, [] { AboutPanel::showPanel(); });
    connect(m_settings, &QAction::triggered, this, [&settingsWindow] {
        if (RecordingViewModel* vm = RecordingViewModel::shared())
            settingsWindow.show(*vm);
    });
    if (checkForUpdates)
        connect(m_checkForUpdates, &QAction::triggered, this, std::move(checkForUpdates));
    connect(m_quit, &QAction::triggered, this, &AppCommands::quitRequested);
}

void AppCommands::install(QMenu& menu, QWidget& window)
{
    menu.addAction(m_about);
    menu.addSeparator();
    menu.addAction(m_settings);
    menu.addAction(m_checkForUpdates);
    menu.addSeparator();
    menu.addAction(m_quit);
    // Shortcuts of actions that sit only in a closed menu do not fire.
    window.addActions({m_settings, m_checkForUpdates, m_quit});
    if (!m_passThrough) {
        QList<QKeySequence> keys;
        for (const QAction* action : {m_settings, m_checkForUpdates, m_quit})
            keys.append(action->shortcut());
        m_passThrough = new ShortcutPassThrough(keys, this);
        qApp->installEventFilter(m_passThrough);
    }
}
