#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A copy of sleep under another program name (a meeting application's, say),
// running until the object goes. With `Start::OnExec` a shell runs first and
// becomes the named program only at `exec()`, as a process does that execs.
class NamedProcess {
public:
    enum class Start { Now, OnExec };

    NamedProcess(const QTemporaryDir& dir, const QString& name, Start start = Start::Now);
    ~NamedProcess();
    NamedProcess(const NamedProcess&) = delete;
    NamedProcess& operator=(const NamedProcess&) = delete;

    // The shell replaces itself with the named program; returns once /proc shows it.
    void exec();
    // Kills the process and waits until it is reaped.
    void end();

    qint64 pid() const { return m_pid; }
    const QString& path() const { return m_path; }

private:
    bool waitUntilRunningTheProgram();

    QString m_path;
    QProcess m_process;
    qint64 m_pid = 0;
};
