#pragma once

#include "services/meetings/DetectedMeeting.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class DesktopNotifications;
class MeetingDetector;

// Posts the two meeting notifications through the desktop's notification
// server and routes the user's answers to the meeting detector, bringing the
// main window forward first. Main thread only.
//
// A server without the "actions" capability gets the notifications without
// buttons. Without a server a line is printed and nothing else happens: the
// main window's banners stay the way to answer.
class NotificationHelper : public QObject {
    Q_OBJECT
public:
    // One of our notifications still on the server.
    struct Posted {
        QString requestId; // "nimbrel.meeting.detected.<UUID>" or "nimbrel.meeting.ended.<UUID>"
        QString category;
    };

    static const QString appName;
    static const QString desktopEntry;
    static const QString soundName;

    // The process's one helper, on the session bus, made on first use.
    static NotificationHelper& shared();

    explicit NotificationHelper(const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~NotificationHelper() override;

    // Announces the detector's offers and hands the answers to it.
    void followMeetingDetector(MeetingDetector& detector);
    // Brings the main window forward; called before every answer is routed.
    void setReopenMainWindow(std::function<void()> reopen);

    // There is no permission to ask for on this desktop: asks whether a
    // notification server answers, and prints why when none does.
    void requestAuthorization();

    void sendMeetingDetectedNotification(const DetectedMeeting& meeting);
    void sendMeetingEndedNotification(const QString& callApp, int autoStopSeconds);

    // "<title>. Click to start recording now."
    static QString meetingDetectedBody(const QString& suggestedRecordingTitle);
    // "<app> call ended. Auto-stopping in <seconds>s. Click to keep recording."
    static QString meetingEndedBody(const QString& appName, int autoStopSeconds);

    // The notification the server knows by `serverId`, until it was answered or closed.
    std::optional<Posted> posted(quint32 serverId) const;

private:
    struct Content {
        QString category;
        QString requestPrefix;
        QString summary;
        QString body;
        QString failureLine;
    };

    void post(const Content& content);
    void actionInvoked(quint32 id, const QString& actionKey);
    void closedByUser(quint32 id);
    // Forgets our notification `id`; none when it is not ours or was answered.
    std::optional<Posted> take(quint32 id);
    void respond(const Posted& notification, const std::optional<QString>& actionKey);

    std::unique_ptr<DesktopNotifications> m_server;
    QPointer<MeetingDetector> m_detector;
    std::function<void()> m_reopen;
    QHash<quint32, Posted> m_posted;
};
