#include "app/SingleInstanceGuard.h"

#include "common/ConsoleLine.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray showMessage = "show\n";

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& folder, QObject* parent)
    : QObject(parent)
    , m_folder(folder.isEmpty() ? runtimeFolder() : folder)
    , m_lock(QDir(m_folder).filePath(QStringLiteral("nimbrel.lock")))
{
    // Only a lock whose process is gone is stale, however old it is.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::onNewConnection);
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    m_server.close();
}

QString SingleInstanceGuard::socketPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("nimbrel.socket"));
}

bool SingleInstanceGuard::claim()
{
    QDir().mkpath(m_folder);
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() != QLockFile::LockFailedError) {
            // No lock can be made at all (a read-only folder): run rather than refuse.
            ConsoleLine::print(QStringLiteral("[App] the single-instance lock cannot be made in ") + m_folder);
            return true;
        }
        return false;
    }
    // The lock is ours, so a socket file left here belongs to a run that died.
    QLocalServer::removeServer(socketPath());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(socketPath())) {
        ConsoleLine::print(QStringLiteral("[App] later starts cannot reach this one: ") + m_server.errorString());
    }
    return true;
}

bool SingleInstanceGuard::notifyRunningInstance(int timeoutMs)
{
    // The running instance may hold the lock a moment before it listens.
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1000)))) {
            socket.write(showMessage);
            const bool sent = socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(500);
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}

void SingleInstanceGuard::onNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == showMessage)
                    Q_EMIT showRequested();
            }
        });
    }
}
