#include "app/SettingsWindowController.h"

#include "app/SettingsWindow.h"
#include "common/Settings.h"
#include "viewmodels/RecordingViewModel.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr int frameSaveDelayMs = 300;

} // namespace

SettingsWindowController& SettingsWindowController::shared()
{
    static SettingsWindowController* instance = new SettingsWindowController(Settings::shared());
    return *instance;
}

SettingsWindowController::SettingsWindowController(Settings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
{
    m_saveFrame.setSingleShot(true);
    m_saveFrame.setInterval(frameSaveDelayMs);
    connect(&m_saveFrame, &QTimer::timeout, this, &SettingsWindowController::saveFrame);
}

SettingsWindowController::~SettingsWindowController()
{
    delete m_window.data();
}

QWidget* SettingsWindowController::window() const
{
    return m_window;
}

RecordingViewModel* SettingsWindowController::viewModel() const
{
    return m_vm;
}

void SettingsWindowController::setContentFactory(ContentFactory factory)
{
    m_factory = std::move(factory);
}

void SettingsWindowController::show(RecordingViewModel& vm)
{
    m_vm = &vm;
    if (!m_window) {
        // An existing window keeps the view model it was built with.
        m_window = buildWindow(vm);
        Q_EMIT windowChanged();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void SettingsWindowController::close()
{
    if (m_window)
        m_window->close();
}

SettingsWindow* SettingsWindowController::buildWindow(RecordingViewModel& vm)
{
    QWidget* content = m_factory ? m_factory(vm, [this] { close(); }) : new QWidget;
    if (content->objectName().isEmpty())
        content->setObjectName(QStringLiteral("settingsContent"));
    auto* window = new SettingsWindow(content);
    placeWindow(*window);
    connect(window, &SettingsWindow::moved, &m_saveFrame, qOverload<>(&QTimer::start));
    connect(window, &SettingsWindow::closed, this, &SettingsWindowController::windowWillClose);
    return window;
}

void SettingsWindowController::placeWindow(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), contentSize);
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    // A frame kept from an earlier window wins over the centred one.
    const QByteArray saved = m_settings.value(autosaveName).toByteArray();
    if (!saved.isEmpty())
        window.restoreGeometry(saved);
}

void SettingsWindowController::saveFrame()
{
    if (m_window)
        m_settings.setValue(autosaveName, m_window->saveGeometry());
}

void SettingsWindowController::windowWillClose()
{
    m_saveFrame.stop();
    saveFrame();
    SettingsWindow* window = m_window;
    m_window = nullptr;
    window->disconnect(this);
    window->deleteLater();
    Q_EMIT windowChanged();
}
