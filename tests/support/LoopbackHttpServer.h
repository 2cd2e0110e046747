#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <mutex>

class QObject;
class QTcpSocket;
class QThread;

// A small HTTP/1.1 server on 127.0.0.1 with a port of its own, running on its
// own thread so a test may block its main thread while a client talks to it.
// Each path answers with a canned response; unknown paths get 404.
class LoopbackHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray contentType = "application/octet-stream";
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers; // extra header lines
        // Sends only this many bytes of the body while Content-Length still
        // announces all of it; -1 sends everything.
        qint64 sendOnly = -1;
        // After a partial body: keep the connection open instead of closing it.
        bool stallAfterPartialBody = false;
        // Leaves out Content-Length: the body ends when the connection does.
        bool announceLength = true;
        // Sends the body one byte at a time at this interval; 0 sends at once.
        int trickleIntervalMs = 0;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void setResponse(const QString& path, const Response& response);
    // A 200 answer with the given body.
    void setBody(const QString& path, const QByteArray& body, const QByteArray& contentType = "application/octet-stream");

    quint16 port() const { return m_port; }
    // http://127.0.0.1:<port> followed by `path`.
    QUrl url(const QString& path = QStringLiteral("/")) const;
    // The paths asked for so far, in order.
    QStringList requestedPaths() const;

private:
    // On the server's thread.
    void listen();
    void serve(QTcpSocket* socket);
    Response responseFor(const QString& path);

    mutable std::mutex m_mutex;
    QMap<QString, Response> m_responses;
    QStringList m_requested;
    quint16 m_port = 0;
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<QObject> m_context; // lives on m_thread; parent of the sockets
};
