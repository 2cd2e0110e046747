#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A sound server of a test's own, for what the shared test server must not go
// through: stopping and starting again, or having no output at all. Point the
// process at it (PULSE_SERVER) before the first use of the connection.
class PrivatePulseServer {
public:
    // `configLines` follow the line that opens the server's socket.
    explicit PrivatePulseServer(const QStringList& configLines);
    ~PrivatePulseServer();

    QString address() const; // for PULSE_SERVER
    // Starts the server and waits until it answers.
    bool start();
    void stop();

private:
    bool answers() const;
    QString socketPath() const;

    QTemporaryDir m_dir;
    QProcess m_server;
};
