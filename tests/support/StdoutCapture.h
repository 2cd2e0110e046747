#pragma once

#include <QString>
#include <QTemporaryFile>

// Sends this process's standard output to a file while it lives, so a test
// can wait for a line that is printed later, from the event loop.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Everything printed so far.
    QString text();
    // Runs the event loop until `part` was printed.
    bool waitFor(const QString& part, int timeoutMs = 5000);

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};
