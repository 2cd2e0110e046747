#include "support/PrivatePulseServer.h"

#include "support/TestEnvironment.h"

#include <QFile>

PrivatePulseServer::PrivatePulseServer(const QStringList& configLines)
{
    QFile config(m_dir.filePath(QStringLiteral("pulse.pa")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n")
                     .arg(socketPath())
                     .toUtf8());
    for (const QString& line : configLines)
        config.write((line + QLatin1Char('\n')).toUtf8());
}

PrivatePulseServer::~PrivatePulseServer()
{
    stop();
}

QString PrivatePulseServer::socketPath() const
{
    return m_dir.filePath(QStringLiteral("native"));
}

QString PrivatePulseServer::address() const
{
    return QStringLiteral("unix:") + socketPath();
}

bool PrivatePulseServer::start()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("PULSE_STATE_PATH"), m_dir.filePath(QStringLiteral("state")));
    // Off the session bus: the shared test server already holds the sound
    // server's bus name there, and a second one would refuse to start.
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.remove(QStringLiteral("DISPLAY"));
    m_server.setProcessEnvironment(environment);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("-n"), QStringLiteral("-F"), m_dir.filePath(QStringLiteral("pulse.pa")),
                    QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"),
                    QStringLiteral("--log-target=stderr")});
    return m_server.waitForStarted(5000) && TestEnvironment::waitUntil([this] { return answers(); }, 10000);
}

void PrivatePulseServer::stop()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000)) {
        m_server.kill();
        m_server.waitForFinished(2000);
    }
    QFile::remove(socketPath());
}

bool PrivatePulseServer::answers() const
{
    QProcess pactl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), address());
    pactl.setProcessEnvironment(environment);
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished(2000) && pactl.exitCode() == 0;
}
