#include "services/notifications/NotificationHelper.h"

#include "common/ConsoleLine.h"
#include "common/Error.h"
#include "platform/dbus/DesktopNotifications.h"
#include "services/meetings/MeetingDetector.h"
#include "services/notifications/MeetingNotificationRouting.h"

#include <QUuid>

namespace {

using namespace MeetingNotificationRouting;

// Action keys and labels of each kind, the click on the notification first.
QStringList actionsFor(const QString& category)
{
    if (category == detectedCategory)
        return {defaultAction, QStringLiteral("Record Now"), recordAction, QStringLiteral("Record Now"), dismissAction,
                QStringLiteral("Dismiss")};
    return {defaultAction, QStringLiteral("Keep Recording"), keepRecordingAction, QStringLiteral("Keep Recording"),
            stopSaveAction, QStringLiteral("Stop Now")};
}

} // namespace

const QString NotificationHelper::appName = QStringLiteral("Nimbrel");
const QString NotificationHelper::desktopEntry = QStringLiteral("nimbrel");
const QString NotificationHelper::soundName = QStringLiteral("message-new-instant");

NotificationHelper& NotificationHelper::shared()
{
    static NotificationHelper* instance = new NotificationHelper();
    return *instance;
}

NotificationHelper::NotificationHelper(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_server(std::make_unique<DesktopNotifications>(bus))
{
    connect(m_server.get(), &DesktopNotifications::actionInvoked, this, &NotificationHelper::actionInvoked);
    connect(m_server.get(), &DesktopNotifications::notificationClosed, this,
            [this](quint32 id, DesktopNotifications::CloseReason reason) {
                if (reason == DesktopNotifications::CloseReason::dismissedByUser)
                    closedByUser(id);
                else
                    m_posted.remove(id); // expired or withdrawn: no answer
            });
}

NotificationHelper::~NotificationHelper() = default;

void NotificationHelper::followMeetingDetector(MeetingDetector& detector)
{
    if (m_detector)
        disconnect(m_detector, nullptr, this, nullptr);
    m_detector = &detector;
    connect(&detector, &MeetingDetector::meetingDetectedAnnounced, this,
            &NotificationHelper::sendMeetingDetectedNotification);
    connect(&detector, &MeetingDetector::meetingEndedAnnounced, this, &NotificationHelper::sendMeetingEndedNotification);
}

void NotificationHelper::setReopenMainWindow(std::function<void()> reopen)
{
    m_reopen = std::move(reopen);
}

void NotificationHelper::requestAuthorization()
{
    m_server->capabilities().onFailed(this, [](const Error& error) {
        ConsoleLine::print(QStringLiteral("Notification permission error: ") + error.message());
        return QStringList();
    });
}

QString NotificationHelper::meetingDetectedBody(const QString& suggestedRecordingTitle)
{
    return suggestedRecordingTitle + QStringLiteral(". Click to start recording now.");
}

QString NotificationHelper::meetingEndedBody(const QString& appName, int autoStopSeconds)
{
    return appName + QStringLiteral(" call ended. Auto-stopping in ") + QString::number(autoStopSeconds)
        + QStringLiteral("s. Click to keep recording.");
}

void NotificationHelper::sendMeetingDetectedNotification(const DetectedMeeting& meeting)
{
    post({detectedCategory, QStringLiteral("nimbrel.meeting.detected."), QStringLiteral("Meeting Detected"),
          meetingDetectedBody(meeting.suggestedRecordingTitle()),
          QStringLiteral("Failed to deliver meeting detected notification: ")});
}

void NotificationHelper::sendMeetingEndedNotification(const QString& callApp, int autoStopSeconds)
{
    post({endedCategory, QStringLiteral("nimbrel.meeting.ended."), QStringLiteral("Meeting Ended"),
          meetingEndedBody(callApp, autoStopSeconds), QStringLiteral("Failed to deliver meeting ended notification: ")});
}

std::optional<NotificationHelper::Posted> NotificationHelper::posted(quint32 serverId) const
{
    const auto found = m_posted.constFind(serverId);
    if (found == m_posted.cend())
        return std::nullopt;
    return *found;
}

void NotificationHelper::post(const Content& content)
{
    const Posted posted{content.requestPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(),
                        content.category};
    // Asked each time: the server can be replaced while we run.
    m_server->capabilities()
        .then(this,
              [this, content, posted](const QStringList& capabilities) {
                  DesktopNotification notification;
                  notification.appName = appName;
                  notification.summary = content.summary;
                  // The title comes from another program's window: never markup.
                  notification.body = capabilities.contains(QStringLiteral("body-markup"))
                      ? content.body.toHtmlEscaped()
                      : content.body;
                  if (capabilities.contains(QStringLiteral("actions")))
                      notification.actions = actionsFor(content.category);
                  notification.hints = {{QStringLiteral("desktop-entry"), desktopEntry},
                                        {QStringLiteral("sound-name"), soundName}};
                  m_server->notify(notification)
                      .then(this, [this, posted](quint32 id) { m_posted.insert(id, posted); })
                      .onFailed(this, [failureLine = content.failureLine](const Error& error) {
                          ConsoleLine::print(failureLine + error.message());
                      });
              })
        .onFailed(this, [failureLine = content.failureLine](const Error& error) {
            ConsoleLine::print(failureLine + error.message());
        });
}

void NotificationHelper::actionInvoked(quint32 id, const QString& actionKey)
{
    if (const std::optional<Posted> notification = take(id))
        respond(*notification, actionKey);
}

void NotificationHelper::closedByUser(quint32 id)
{
    if (const std::optional<Posted> notification = take(id))
        respond(*notification, std::nullopt);
}

std::optional<NotificationHelper::Posted> NotificationHelper::take(quint32 id)
{
    // Ours only, and once: the close that follows an action finds nothing.
    const auto found = m_posted.constFind(id);
    if (found == m_posted.cend())
        return std::nullopt;
    const Posted notification = *found;
    m_posted.erase(found);
    return notification;
}

void NotificationHelper::respond(const Posted& notification, const std::optional<QString>& actionKey)
{
    if (m_reopen)
        m_reopen();
    if (!m_detector)
        return;
    switch (MeetingNotificationRouting::answer(notification.category, actionKey)) {
    case MeetingAnswer::confirmStartRecording:
        m_detector->confirmStartRecording();
        break;
    case MeetingAnswer::dismissDetectedMeeting:
        m_detector->dismissDetectedMeeting();
        break;
    case MeetingAnswer::confirmStopRecording:
        m_detector->confirmStopRecording();
        break;
    case MeetingAnswer::dismissMeetingEndPrompt:
        m_detector->dismissMeetingEndPrompt();
        break;
    case MeetingAnswer::none:
        break;
    }
}
