#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

// The one status line under the window; a message is cleared after a delay
// (4 seconds in the app). A held message (why a recording stopped or lost a
// source) keeps its full time; others arriving meanwhile wait, the latest
// after it. Main thread only.
class StatusLine : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<QString> exportMessage READ exportMessage NOTIFY exportMessageChanged)

public:
    explicit StatusLine(std::chrono::milliseconds clearDelay, QObject* parent = nullptr);

    const std::optional<QString>& exportMessage() const { return m_exportMessage; }
    void show(const QString& text);
    void showHeld(const QString& text);

Q_SIGNALS:
    void exportMessageChanged();

private:
    void setExportMessage(const std::optional<QString>& message);

    std::optional<QString> m_exportMessage;
    bool m_held = false;
    std::optional<QString> m_deferred;
    QTimer m_clearTimer;
};
