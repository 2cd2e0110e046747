#include "support/LoopbackHttpServer.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

QByteArray reasonFor(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

void answer(QTcpSocket* socket, const LoopbackHttpServer::Response& response)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonFor(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    if (response.announceLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (response.trickleIntervalMs > 0) {
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, sent, body = response.body] {
            if (*sent >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(body.mid((*sent)++, 1));
        });
        timer->start(response.trickleIntervalMs);
        return;
    }
    const qint64 bodyBytes = response.sendOnly < 0 ? response.body.size()
                                                   : std::min<qint64>(response.sendOnly, response.body.size());
    socket->write(response.body.constData(), bodyBytes);
    if (bodyBytes < response.body.size() && response.stallAfterPartialBody) {
        socket->flush();
        return;
    }
    socket->disconnectFromHost(); // after everything written has gone out
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer()
    : m_thread(std::make_unique<QThread>())
    , m_context(std::make_unique<QObject>())
{
    m_thread->setObjectName(QStringLiteral("LoopbackHttpServer"));
    m_context->moveToThread(m_thread.get());
    m_thread->start();
    QMetaObject::invokeMethod(m_context.get(), [this] { listen(); }, Qt::BlockingQueuedConnection);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    // The listening socket and the connections are children of the context
    // and must go on the thread that owns them.
    QMetaObject::invokeMethod(m_context.get(), [this] { qDeleteAll(m_context->children()); },
                              Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

void LoopbackHttpServer::listen()
{
    auto* server = new QTcpServer(m_context.get());
    if (!server->listen(QHostAddress::LocalHost, 0))
        return;
    m_port = server->serverPort();
    QObject::connect(server, &QTcpServer::newConnection, m_context.get(), [this, server] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            socket->setParent(m_context.get());
            serve(socket);
        }
    });
}

void LoopbackHttpServer::serve(QTcpSocket* socket)
{
    struct Connection {
        QByteArray request;
        bool answered = false;
    };
    auto connection = std::make_shared<Connection>();
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, connection] {
        const QByteArray data = socket->readAll();
        if (connection->answered)
            return;
        connection->request += data;
        if (!connection->request.contains("\r\n\r\n"))
            return;
        connection->answered = true;
        const QList<QByteArray> requestLine =
            connection->request.left(connection->request.indexOf("\r\n")).split(' ');
        const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();
        answer(socket, responseFor(path));
    });
}

void LoopbackHttpServer::setResponse(const QString& path, const Response& response)
{
    std::lock_guard lock(m_mutex);
    m_responses.insert(path, response);
}

void LoopbackHttpServer::setBody(const QString& path, const QByteArray& body, const QByteArray& contentType)
{
    Response response;
    response.body = body;
    response.contentType = contentType;
    setResponse(path, response);
}

QUrl LoopbackHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
}

QStringList LoopbackHttpServer::requestedPaths() const
{
    std::lock_guard lock(m_mutex);
    return m_requested;
}

LoopbackHttpServer::Response LoopbackHttpServer::responseFor(const QString& path)
{
    std::lock_guard lock(m_mutex);
    m_requested.append(path);
    const auto found = m_responses.constFind(path);
    if (found != m_responses.cend())
        return *found;
    Response missing;
    missing.status = 404;
    missing.contentType = "text/html";
    missing.body = "<html><body>Not Found</body></html>";
    return missing;
}
