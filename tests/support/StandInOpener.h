#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// An xdg-open of the test's own, first on PATH while it lives, that records
// what it was asked to open.
class StandInOpener {
public:
    StandInOpener();
    ~StandInOpener();
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    // What was opened, once it was; nothing after `timeoutMs`.
    std::optional<QString> waitForOpened(int timeoutMs = 10000) const;

private:
    QTemporaryDir m_tools;
    QString m_log;
    QByteArray m_path;
};
