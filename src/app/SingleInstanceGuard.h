#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// Keeps the app to one running instance per user: the first start holds a lock
// file and listens on a local socket in the user's runtime folder; a later
// start finds the lock taken, asks the running instance to show its window and
// exits. A lock or socket left by an instance that died is taken over.
class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    // `folder` holds the lock and the socket; the user's runtime folder when empty.
    explicit SingleInstanceGuard(const QString& folder = {}, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // True when this process is now the one instance.
    bool claim();
    // Asks the running instance to come forward; false when none answered
    // within `timeoutMs`.
    bool notifyRunningInstance(int timeoutMs = 5000);

    QString socketPath() const;

Q_SIGNALS:
    // Another start asked for the window.
    void showRequested();

private:
    void onNewConnection();

    QString m_folder;
    QLockFile m_lock;
    QLocalServer m_server;
};
