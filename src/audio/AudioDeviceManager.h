#pragma once

#include "audio/AudioDevice.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

// The microphones the user can record from and the chosen one, kept up to date
// from the sound server's events and a 1.5-second poll as a safety net. When
// the chosen microphone disappears the choice falls back to the default one,
// then to the first listed. Lives on the main thread; never opens a device.
// Events and the poll ask the server and apply its answer when it arrives, so
// the main thread never waits for it; an answer overtaken by a later question
// is dropped. With no sound server the list stays as it was and the manager
// says so; it lists again as soon as a server answers.
class AudioDeviceManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<AudioDevice> availableMics READ availableMics NOTIFY availableMicsChanged)
    Q_PROPERTY(QString selectedMicID READ selectedMicID WRITE setSelectedMicID NOTIFY selectedMicIDChanged)
    Q_PROPERTY(bool isSoundServerReachable READ isSoundServerReachable NOTIFY soundServerReachableChanged)
public:
    // Lists the devices and settles the choice before returning.
    explicit AudioDeviceManager(QObject* parent = nullptr);

    const QList<AudioDevice>& availableMics() const { return m_availableMics; }
    const QString& selectedMicID() const { return m_selectedMicID; }
    // Kept as written until the next refresh, which applies the fallback rule.
    void setSelectedMicID(const QString& id);
    // Whether a sound server is connected; the list is the last one it gave.
    bool isSoundServerReachable() const { return m_isSoundServerReachable; }

    // Reads the server now, waiting for its answer.
    void refreshDevices();
    // The poll's cheap test: asks the server, and refreshes from its answer
    // only when the ids or the default differ from what is published (names
    // are not compared). Returns before the answer.
    void checkDevicesChanged();

    // The device to record from: the chosen one, else the server's default
    // input unless that is a monitor, else none. Asks the server when the
    // choice is not in the published list, which may be behind.
    std::optional<AudioDevice> selectedMicDevice() const;

Q_SIGNALS:
    void availableMicsChanged();
    void selectedMicIDChanged();
    void soundServerReachableChanged();

private:
    // Microphones as the server lists them now; nothing when it cannot answer.
    std::optional<QList<AudioDevice>> readSystem() const;
    // Asks the server for its sources and default; the answer refreshes in
    // full when a full refresh was wanted since the last one applied.
    void askServer(bool fullRefresh);
    // Publishes `devices` when they differ and settles the choice.
    void apply(const QList<AudioDevice>& devices);
    // The poll's rule: applies only when the ids or the default differ.
    void applyIfChanged(const QList<AudioDevice>& devices);
    void scheduleRefresh();
    void setSoundServerReachable(bool reachable);

    QList<AudioDevice> m_availableMics;
    QString m_selectedMicID;
    bool m_isSoundServerReachable = false;
    QTimer m_pollTimer;
    bool m_refreshScheduled = false;
    // The latest question; only its answer is applied.
    quint64 m_lastQuestion = 0;
    int m_questionsInFlight = 0;
    bool m_fullRefreshWanted = false;
};
