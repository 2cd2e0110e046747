#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

// Runs an outside tool as a child process and waits for it on the calling
// thread (meant for a SerialQueue). The child gets stdin from /dev/null, its
// arguments as a list (no shell) and a process group of its own; both output
// pipes are drained while it runs, so a chatty child never stalls.
class ProcessRunner {
public:
    struct Command {
        QString program; // absolute path of the executable
        QStringList arguments;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QString workingDirectory; // empty: this process's own
        // Called on the running thread with all of standard error so far,
        // each time more has arrived (a tool that reports its progress there).
        std::function<void(const QByteArray& standardErrorSoFar)> onStandardError;
    };

    struct Result {
        // The exit code, or the signal's number when a signal ended the child.
        int exitStatus = 0;
        bool killedBySignal = false;
        QByteArray standardOutput;
        QByteArray standardError;

        bool succeeded() const { return !killedBySignal && exitStatus == 0; }
    };

    using CancelCheck = std::function<bool()>;

    // Blocks until the child has exited and its pipes are drained. `isCancelled`
    // is asked about every 50 ms; once it answers true the child's process group
    // gets SIGTERM, then SIGKILL after half a second, and `CancelledError` is
    // thrown. A child that cannot start throws `Error` ("ProcessRunner", the
    // errno value, the reason).
    static Result run(const Command& command, const CancelCheck& isCancelled = {});

    // The first executable file `name` in `folders`, in order, then in the
    // folders of PATH. Relative and empty PATH entries (the current folder)
    // are skipped. Empty when there is none.
    static QString findExecutable(const QString& name, const QStringList& folders = {});

    // Sets `variable` to `folder` when it is unset or empty, else to
    // `folder` + ":" + its old value (LD_LIBRARY_PATH and the like).
    static void prependPath(QProcessEnvironment& environment, const QString& variable, const QString& folder);
};
