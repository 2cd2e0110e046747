#include "services/login/LaunchAtLoginManager.h"

#include "common/ConsoleLine.h"
#include "common/Settings.h"
#include "common/SettingsKeys.h"

#include <QCoreApplication>

namespace {

const QString entryFileName = QStringLiteral("nimbrel.desktop");

void print(const QString& line)
{
    ConsoleLine::print(line);
}

LaunchAtLoginManager::Status statusOf(AutostartEntry::Status status)
{
    switch (status) {
    case AutostartEntry::Status::notRegistered:
        return LaunchAtLoginManager::Status::notRegistered;
    case AutostartEntry::Status::enabled:
        return LaunchAtLoginManager::Status::enabled;
    case AutostartEntry::Status::disabledByUser:
        return LaunchAtLoginManager::Status::requiresApproval;
    case AutostartEntry::Status::otherProgram:
        break;
    }
    return LaunchAtLoginManager::Status::notFound;
}

} // namespace

LaunchAtLoginManager& LaunchAtLoginManager::shared()
{
    static LaunchAtLoginManager* instance = new LaunchAtLoginManager(
        Settings::shared(), AutostartEntry::defaultFolder(), QCoreApplication::applicationFilePath());
    return *instance;
}

LaunchAtLoginManager::LaunchAtLoginManager(Settings& settings, QString autostartFolder, QString executable,
                                           QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_entry(std::move(autostartFolder), entryFileName)
    , m_executable(std::move(executable))
{
    // A registered default counts as a value.
    if (m_settings.value(SettingsKeys::launchAtLogin).isNull())
        m_settings.setValue(SettingsKeys::launchAtLogin, true);
    m_isEnabled = m_settings.boolValue(SettingsKeys::launchAtLogin);
    m_requiresApproval = status() == Status::requiresApproval;
    syncRegistration();
}

LaunchAtLoginManager::Status LaunchAtLoginManager::status() const
{
    return statusOf(m_entry.status(m_executable));
}

void LaunchAtLoginManager::setIsEnabled(bool enabled)
{
    const bool changed = enabled != m_isEnabled;
    m_isEnabled = enabled;
    updateRegistration(enabled);
    if (changed)
        Q_EMIT isEnabledChanged();
}

void LaunchAtLoginManager::syncRegistration()
{
    const bool wanted = m_settings.boolValue(SettingsKeys::launchAtLogin);
    const Status current = status();
    setRequiresApproval(current == Status::requiresApproval);
    if (wanted) {
        // An entry the user turned off stays off until they turn it on here.
        if (current == Status::enabled || current == Status::requiresApproval)
            return;
        const QString failure = registerEntry();
        if (!failure.isEmpty())
            print(QStringLiteral("[LaunchAtLogin] Registration failed: ") + failure);
        return;
    }
    if (current == Status::notRegistered)
        return;
    const QString failure = m_entry.remove();
    if (failure.isEmpty())
        setRequiresApproval(false);
    else
        print(QStringLiteral("[LaunchAtLogin] Unregistration failed: ") + failure);
}

void LaunchAtLoginManager::updateRegistration(bool enabled)
{
    m_settings.setValue(SettingsKeys::launchAtLogin, enabled);
    const Status current = status();
    QString failure;
    if (enabled) {
        if (current == Status::enabled)
            return;
        failure = registerEntry();
    } else {
        if (current == Status::notRegistered)
            return;
        failure = m_entry.remove();
        if (failure.isEmpty())
            setRequiresApproval(false);
    }
    if (!failure.isEmpty())
        print(QStringLiteral("[LaunchAtLogin] Update failed: ") + failure);
}

QString LaunchAtLoginManager::registerEntry()
{
    const QString failure = m_entry.write(QStringLiteral("Nimbrel"), m_executable, {loginArgument});
    if (failure.isEmpty())
        setRequiresApproval(status() == Status::requiresApproval);
    return failure;
}

void LaunchAtLoginManager::setRequiresApproval(bool value)
{
    if (m_requiresApproval == value)
        return;
    m_requiresApproval = value;
    Q_EMIT requiresApprovalChanged();
}

bool LaunchAtLoginManager::isLaunchedAtLogin()
{
    return isLaunchedAtLogin(QCoreApplication::arguments());
}

bool LaunchAtLoginManager::isLaunchedAtLogin(const QStringList& arguments)
{
    return arguments.mid(1).contains(loginArgument);
}

bool LaunchAtLoginManager::shouldStartMinimized()
{
    return shouldStartMinimized(QCoreApplication::arguments());
}

bool LaunchAtLoginManager::shouldStartMinimized(const QStringList& arguments)
{
    const QStringList options = arguments.mid(1);
    return isLaunchedAtLogin(arguments) || options.contains(QStringLiteral("--minimized"))
        || options.contains(QStringLiteral("-minimized"));
}
