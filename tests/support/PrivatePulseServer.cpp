#include "support/PrivatePulseServer.h"

#include "support/PulseTestTools.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <ranges>

PrivatePulseServer::PrivatePulseServer(const QStringList& configLines)
    : m_configLines(configLines)
{
    m_environment = QProcessEnvironment::systemEnvironment();
    // Off the shared session bus and display: the shared test server already
    // holds the sound server's bus names there, and a second one would refuse
    // to start.
    m_environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    m_environment.remove(QStringLiteral("DISPLAY"));
    m_environment.remove(QStringLiteral("PULSE_SERVER"));
    // Both servers put their socket in the PulseAudio runtime folder.
    m_environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.filePath(QStringLiteral("runtime/pulse")));
    m_environment.insert(QStringLiteral("PULSE_STATE_PATH"), m_dir.filePath(QStringLiteral("state")));
    for (const char* folder : {"runtime", "state", "config"})
        QDir(m_dir.path()).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

PrivatePulseServer::~PrivatePulseServer()
{
    stop();
}

QString PrivatePulseServer::socketPath() const
{
    return m_dir.filePath(QStringLiteral("runtime/pulse/native"));
}

QString PrivatePulseServer::address() const
{
    return QStringLiteral("unix:") + socketPath();
}

bool PrivatePulseServer::start()
{
    stop();
    const bool started = PulseTestTools::isPipeWire() ? startPipeWire() : startPulseAudio();
    if (!started)
        stop();
    return started;
}

bool PrivatePulseServer::startPulseAudio()
{
    QDir().mkpath(QFileInfo(socketPath()).path());
    QFile config(m_dir.filePath(QStringLiteral("pulse.pa")));
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    config.write(QStringLiteral("load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n")
                     .arg(socketPath())
                     .toUtf8());
    for (const QString& line : m_configLines)
        config.write((line + QLatin1Char('\n')).toUtf8());
    config.close();
    return launch(QStringLiteral("pulseaudio"),
                  {QStringLiteral("-n"), QStringLiteral("-F"), config.fileName(), QStringLiteral("--daemonize=no"),
                   QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                   QStringLiteral("--log-level=error"), QStringLiteral("--log-target=stderr")})
        && TestEnvironment::waitUntil([this] { return answers(); }, 10000);
}

bool PrivatePulseServer::startPipeWire()
{
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
    m_environment.insert(QStringLiteral("XDG_STATE_HOME"), m_dir.filePath(QStringLiteral("state")));
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    // The session manager needs a session bus; a private one keeps it off the shared server's.
    const QString bus = m_dir.filePath(QStringLiteral("bus"));
    if (!launch(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--address=unix:path=") + bus,
                                                QStringLiteral("--nofork"), QStringLiteral("--nopidfile")})
        || !TestEnvironment::waitUntil([&] { return QFile::exists(bus); }, 5000))
        return false;
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + bus);
    const QString core = m_dir.filePath(QStringLiteral("runtime/pipewire-0"));
    if (!launch(QStringLiteral("pipewire"), {}) || !TestEnvironment::waitUntil([&] { return QFile::exists(core); }, 5000))
        return false;
    if (!launch(QStringLiteral("wireplumber"), {}) || !launch(QStringLiteral("pipewire-pulse"), {})
        || !TestEnvironment::waitUntil([this] { return answers(); }, 10000))
        return false;
    // The service makes a silent output whenever there is none; a test server
    // has exactly the devices its lines make.
    if (!pactl({QStringLiteral("unload-module"), QStringLiteral("module-always-sink")}))
        return false;
    for (const QString& line : m_configLines) {
        if (!pactl(line.split(QLatin1Char(' '), Qt::SkipEmptyParts)))
            return false;
    }
    return true;
}

bool PrivatePulseServer::launch(const QString& program, const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(program, arguments);
    const bool started = process->waitForStarted(5000);
    m_processes.push_back(std::move(process));
    return started;
}

void PrivatePulseServer::stop()
{
    // The sound server first, its bus last.
    for (const std::unique_ptr<QProcess>& process : std::views::reverse(m_processes)) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(2000);
        }
    }
    m_processes.clear();
    QFile::remove(socketPath());
}

void PrivatePulseServer::kill()
{
    for (const std::unique_ptr<QProcess>& process : std::views::reverse(m_processes)) {
        process->kill();
        process->waitForFinished(5000);
    }
    m_processes.clear();
}

bool PrivatePulseServer::pactl(const QStringList& arguments) const
{
    QProcess pactl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), address());
    pactl.setProcessEnvironment(environment);
    pactl.setStandardOutputFile(QProcess::nullDevice());
    pactl.start(QStringLiteral("pactl"), arguments);
    return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

bool PrivatePulseServer::answers() const
{
    return pactl({QStringLiteral("info")});
}
