#pragma once

#include <QProcess>
#include <QString>

// Another process recording from the test sound server: parec, introducing
// itself with the given application name, its data thrown away.
class ParecRecorder {
public:
    // An empty `source` records from the default source.
    explicit ParecRecorder(const QString& applicationName, const QString& source = {});
    ~ParecRecorder();
    ParecRecorder(const ParecRecorder&) = delete;
    ParecRecorder& operator=(const ParecRecorder&) = delete;

    void stop();

private:
    QProcess m_process;
};
