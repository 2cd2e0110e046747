#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// A sound server of a test's own, for what the shared test server must not go
// through: stopping and starting again, or having no output at all. It is of
// the shared test server's kind: the PulseAudio daemon, or PipeWire with its
// session manager and PulseAudio service. Point the process at it
// (PULSE_SERVER) before the first use of the connection.
class PrivatePulseServer {
public:
    // `configLines` are PulseAudio configuration lines ("load-module ...",
    // "set-default-sink ..."), applied at every start.
    explicit PrivatePulseServer(const QStringList& configLines);
    ~PrivatePulseServer();

    QString address() const; // for PULSE_SERVER
    // Starts the server and waits until it answers.
    bool start();
    void stop();
    // Ends it as a crash does: no goodbye to its clients, its socket left behind.
    void kill();

private:
    bool startPulseAudio();
    bool startPipeWire();
    // Starts `program` with the server's environment; false when it cannot run.
    bool launch(const QString& program, const QStringList& arguments);
    bool answers() const;
    bool pactl(const QStringList& arguments) const;
    QString socketPath() const;

    QStringList m_configLines;
    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes; // in the order started
};
