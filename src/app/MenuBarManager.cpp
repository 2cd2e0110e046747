#include "app/MenuBarManager.h"

#include "app/SettingsWindowController.h"
#include "app/TrayIcons.h"
#include "common/ConsoleLine.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "services/meetings/MeetingDetector.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

constexpr int refreshIntervalMs = 1000;

bool isRunning(RecorderState state)
{
    return state != RecorderState::idle;
}

} // namespace

MenuBarManager& MenuBarManager::shared()
{
    static MenuBarManager* instance = new MenuBarManager(Settings::shared(), SettingsWindowController::shared(),
                                                         [] { return MeetingDetector::shared().isDetectionEnabled(); });
    return *instance;
}

MenuBarManager::MenuBarManager(Settings& settings, SettingsWindowController& settingsWindow,
                               std::function<bool()> isDetectionEnabled, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_settingsWindow(settingsWindow)
    , m_isDetectionEnabled(std::move(isDetectionEnabled))
{
    m_updateTimer.setInterval(refreshIntervalMs);
    connect(&m_updateTimer, &QTimer::timeout, this, &MenuBarManager::updateButton);
    connect(&m_updateTimer, &QTimer::timeout, this, &MenuBarManager::followTrayHost);
}

MenuBarManager::~MenuBarManager()
{
    if (m_cachedMainWindow)
        m_cachedMainWindow->removeEventFilter(this);
}

void MenuBarManager::setup()
{
    if (m_trayIcon)
        return;
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    connect(m_menu.get(), &QMenu::aboutToShow, this, &MenuBarManager::rebuildMenu);
    m_trayIcon = std::make_unique<QSystemTrayIcon>();
    m_trayIcon->setContextMenu(m_menu.get());
    // A left click opens the same menu a right click does.
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_menu->popup(QCursor::pos());
    });
    updateButton();
    m_trayIcon->show();
    m_trayWasReachable = isTrayReachable();
    m_updateTimer.start();
}

TrayMenu::State MenuBarManager::currentState() const
{
    TrayMenu::State state;
    if (const RecordingViewModel* vm = RecordingViewModel::shared()) {
        state.recorderState = vm->recorder().recorderState();
        state.recordingDuration = vm->recorder().recordingDuration();
    }
    state.isDetectionEnabled = m_isDetectionEnabled && m_isDetectionEnabled();
    return state;
}

void MenuBarManager::refreshDuration()
{
    // The view model stops copying it while the window is out of sight.
    if (RecordingViewModel* vm = RecordingViewModel::shared())
        vm->recorder().refreshRecordingDuration();
}

void MenuBarManager::updateButton()
{
    refreshDuration();
    TrayMenu::State state = currentState();
    const TrayMenu::Button button = TrayMenu::button(state);
    if (button == m_button && m_iconSet)
        return;
    // The icon goes to the tray host only when its look changes.
    if (m_trayIcon && (!m_iconSet || button.look != m_button.look)) {
        m_trayIcon->setIcon(TrayIcons::icon(button.look));
        m_iconSet = true;
    }
    m_button = button;
    if (m_trayIcon)
        m_trayIcon->setToolTip(button.toolTip);
    Q_EMIT buttonChanged();
}

void MenuBarManager::rebuildMenu()
{
    // The status line is fixed while the menu stays open.
    refreshDuration();
    fillMenu(*m_menu, TrayMenu::entries(currentState()), [this](TrayMenu::Action action) { perform(action); });
}

void MenuBarManager::fillMenu(QMenu& menu, const QList<TrayMenu::Entry>& entries,
                              const std::function<void(TrayMenu::Action)>& perform)
{
    menu.clear();
    for (const TrayMenu::Entry& entry : entries) {
        if (entry.isSeparator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(entry.title);
        action->setEnabled(entry.enabled);
        if (!entry.shortcut.isEmpty()) {
            action->setShortcut(QKeySequence(entry.shortcut));
            action->setShortcutVisibleInContextMenu(true);
        }
        if (entry.action != TrayMenu::Action::none) {
            const TrayMenu::Action what = entry.action;
            QObject::connect(action, &QAction::triggered, &menu, [perform, what] { perform(what); });
        }
    }
}

void MenuBarManager::perform(TrayMenu::Action action)
{
    switch (action) {
    case TrayMenu::Action::openMainWindow:
        reopenMainWindow();
        break;
    case TrayMenu::Action::toggleRecording:
        toggleRecording();
        break;
    case TrayMenu::Action::openSettings:
        openSettings();
        break;
    case TrayMenu::Action::quit:
        Q_EMIT quitRequested();
        break;
    case TrayMenu::Action::none:
        break;
    }
}

void MenuBarManager::toggleRecording()
{
    if (RecordingViewModel* vm = RecordingViewModel::shared()) {
        switch (vm->recorder().recorderState()) {
        case RecorderState::idle:
            vm->recorder().startNewRecording(std::nullopt, std::nullopt);
            break;
        case RecorderState::recording:
        case RecorderState::paused:
            vm->recorder().stopRecording();
            break;
        case RecorderState::starting:
        case RecorderState::stopping:
            break;
        }
    }
    updateButton();
}

void MenuBarManager::openSettings()
{
    if (RecordingViewModel* vm = RecordingViewModel::shared())
        m_settingsWindow.show(*vm);
}

bool MenuBarManager::isMainWindowCandidate(const QWidget* window)
{
    if (!window || !window->isWindow())
        return false;
    // The tray item's own window where the tray is drawn through XEmbed.
    if (qstrcmp(window->metaObject()->className(), "QSystemTrayIconSys") == 0)
        return false;
    switch (window->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::Tool:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::SplashScreen:
    case Qt::Desktop:
        return false;
    default:
        break;
    }
    if (window->windowTitle() == SettingsWindowController::windowTitle)
        return false;
    return window->property(SettingsWindowController::autosaveProperty).toString()
        != SettingsWindowController::autosaveName;
}

QWidget* MenuBarManager::findMainWindow()
{
    if (m_cachedMainWindow)
        return m_cachedMainWindow;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (isMainWindowCandidate(window)) {
            registerMainWindow(window);
            return window;
        }
    }
    return nullptr;
}

void MenuBarManager::registerMainWindow(QWidget* window)
{
    if (m_cachedMainWindow == window)
        return;
    if (m_cachedMainWindow)
        m_cachedMainWindow->removeEventFilter(this);
    m_cachedMainWindow = window;
    if (window) {
        // Closing only hides or minimises it; it is shown again as the same window.
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->installEventFilter(this);
    }
}

void MenuBarManager::reopenMainWindow()
{
    m_hasUserRequestedOpen = true;
    QTimer::singleShot(0, this, [this] {
        QWidget* window = findMainWindow();
        if (!window)
            return;
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->show();
        window->raise();
        window->activateWindow();
    });
}

void MenuBarManager::hideMainWindowAtLaunch(QWidget* window)
{
    if (!window)
        return;
    if (isTrayReachable())
        window->hide();
    else
        window->showMinimized();
}

bool MenuBarManager::isTrayReachable() const
{
    return m_trayIcon && m_trayIcon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void MenuBarManager::followTrayHost()
{
    const bool reachable = isTrayReachable();
    if (reachable == m_trayWasReachable)
        return;
    m_trayWasReachable = reachable;
    ConsoleLine::print(reachable ? QStringLiteral("[MenuBarManager] The tray is back.")
                                 : QStringLiteral("[MenuBarManager] The tray went away."));
    QWidget* window = m_cachedMainWindow;
    if (!reachable && window && !window->isVisible())
        window->showMinimized();
}

bool MenuBarManager::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && watched == m_cachedMainWindow && watched->isWidgetType()) {
        if (interceptClose(static_cast<QWidget*>(watched))) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool MenuBarManager::interceptClose(QWidget* window)
{
    const bool keepInTray = m_settings.boolValue(SettingsKeys::keepInMenuBarOnClose);
    const RecordingViewModel* vm = RecordingViewModel::shared();
    // A recording keeps the app running whatever the setting says.
    const bool appStaysRunning = keepInTray || (vm && isRunning(vm->recorder().recorderState()));
    if (!appStaysRunning)
        return false;
    if (isTrayReachable()) {
        if (!keepInTray)
            return false; // closes normally; the tray brings it back
        window->hide();
        return true;
    }
    // Nothing else on screen would lead back to the app.
    window->showMinimized();
    return true;
}
