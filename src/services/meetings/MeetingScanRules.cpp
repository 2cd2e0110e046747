#include "services/meetings/MeetingScanRules.h"

#include "services/meetings/MeetingLog.h"
#include "services/meetings/MeetingTables.h"

#include <QRegularExpression>

namespace {

const QString kMeet = QStringLiteral("Google Meet");
const QString kTeams = QStringLiteral("Microsoft Teams");
const QString kZoom = QStringLiteral("Zoom");

// Host name of the Teams web application.
const QString kTeamsWebHost = QStringLiteral("teams.microsoft.com");

bool containsAny(const QString& lowerText, const QStringList& phrases)
{
    for (const QString& phrase : phrases) {
        if (lowerText.contains(phrase))
            return true;
    }
    return false;
}

// An optional sign and ASCII digits that fit a 64-bit integer.
bool isDecimalInteger(const QString& text)
{
    int start = (text.startsWith(u'+') || text.startsWith(u'-')) ? 1 : 0;
    if (start >= text.size())
        return false;
    for (int i = start; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    }
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

bool isAcceptableMeetDetail(const QString& detail)
{
    const QString lower = detail.toLower();
    return !detail.isEmpty() && lower != QStringLiteral("google meet")
        && !containsAny(lower, MeetingTables::meetingExitPhrases());
}

std::optional<QString> teamsDetail(const QString& trimmed)
{
    qsizetype at = trimmed.indexOf(QStringLiteral("| Microsoft Teams"));
    if (at < 0)
        at = trimmed.indexOf(QStringLiteral("- Microsoft Teams"));
    if (at < 0)
        return std::nullopt;
    const QString before = trimmed.left(at).trimmed();
    const QString lower = before.toLower();
    if (before.isEmpty() || lower.contains(QStringLiteral("chat")) || lower.contains(QStringLiteral("calendar")))
        return std::nullopt;
    return before;
}

bool isZoomNonMeetingWindow(const QString& trimmed, const QRect& frame)
{
    const QString lower = trimmed.toLower();
    return MeetingTables::zoomNonMeetingTitles().contains(lower)
        || lower.startsWith(QStringLiteral("zoom workplace")) || lower.startsWith(QStringLiteral("zoom cloud meetings"))
        || lower.startsWith(QStringLiteral("about zoom")) || frame.width() <= 200 || frame.height() <= 150;
}

QString zoomDetail(const QString& trimmed)
{
    static const QString meetingDash = QStringLiteral("Zoom Meeting - ");
    static const QString dashZoom = QStringLiteral(" - Zoom");
    static const QString meeting = QStringLiteral("Zoom Meeting");
    if (trimmed.startsWith(meetingDash))
        return trimmed.mid(meetingDash.size()).trimmed();
    if (trimmed.endsWith(dashZoom))
        return trimmed.chopped(dashZoom.size()).trimmed();
    if (trimmed.startsWith(meeting)) {
        const QString rest = trimmed.mid(meeting.size()).trimmed();
        return rest.isEmpty() ? QStringLiteral("Meeting") : rest;
    }
    return trimmed;
}

QString frameText(const QRect& frame)
{
    return QStringLiteral("(%1, %2, %3, %4)").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

DetectedMeeting windowMeeting(const QString& appName, std::optional<QString> detail, const MeetingWindow& window,
                              Date now)
{
    return DetectedMeeting{appName, std::move(detail), window.title, window.bundleID, now};
}

} // namespace

namespace MeetingScanRules {

ScanResult scanWindowsForMeeting(const QList<MeetingWindow>& windows, Date now)
{
    bool exitSeen = false;
    for (const MeetingWindow& window : windows) {
        if (!window.title || window.title->isEmpty())
            continue;
        const QString trimmed = window.title->trimmed();
        const QString lowerApp = window.appName.toLower();
        const QString lowerBundle = window.bundleID.toLower();
        const bool browser = isBrowser(window.appName, window.bundleID);

        if (browser) {
            if (containsAny(trimmed.toLower(), MeetingTables::meetingExitPhrases()))
                exitSeen = true;
            if (auto meet = parseGoogleMeetWindow(trimmed, window.bundleID, now))
                return {std::move(meet), exitSeen};
        }

        const bool teamsApp =
            lowerBundle.contains(QStringLiteral("com.microsoft.teams")) || lowerApp.contains(QStringLiteral("teams"));
        if (teamsApp) {
            if (trimmed.contains(QStringLiteral("Meeting")) || trimmed.contains(QStringLiteral("Call")))
                return {windowMeeting(kTeams, teamsDetail(trimmed), window, now), false};
        } else if (browser) {
            if (trimmed.contains(QStringLiteral("Microsoft Teams Meeting"), Qt::CaseInsensitive)
                || trimmed.contains(kTeamsWebHost, Qt::CaseInsensitive))
                return {windowMeeting(kTeams, std::nullopt, window, now), false};
        }

        const bool zoomApp = lowerBundle.contains(QStringLiteral("zoom")) || lowerApp.contains(QStringLiteral("zoom"));
        if (zoomApp) {
            MeetingLog::print(QStringLiteral("Found Zoom window: \"%1\" (bundle: %2) frame: %3")
                                  .arg(trimmed, window.bundleID, frameText(window.frame)));
            if (!isZoomNonMeetingWindow(trimmed, window.frame))
                return {windowMeeting(kZoom, zoomDetail(trimmed), window, now), false};
        } else if (browser) {
            if (trimmed.startsWith(QStringLiteral("Zoom Meeting"))
                || trimmed.startsWith(QStringLiteral("Launch Meeting - Zoom")))
                return {windowMeeting(kZoom, std::nullopt, window, now), false};
        }

        if (lowerBundle.contains(QStringLiteral("slack")) || lowerApp.contains(QStringLiteral("slack"))) {
            if (trimmed.contains(QStringLiteral("Huddle"), Qt::CaseInsensitive))
                return {windowMeeting(QStringLiteral("Slack Huddle"), std::nullopt, window, now), false};
        }

        if (lowerBundle.contains(QStringLiteral("webex")) || lowerApp.contains(QStringLiteral("webex"))) {
            if (trimmed.contains(QStringLiteral("Meeting"), Qt::CaseInsensitive))
                return {windowMeeting(QStringLiteral("Cisco Webex"), std::nullopt, window, now), false};
        }

        if (lowerBundle.contains(QStringLiteral("facetime")) || lowerApp.contains(QStringLiteral("facetime"))) {
            if (!trimmed.isEmpty())
                return {windowMeeting(QStringLiteral("FaceTime"), std::nullopt, window, now), false};
        }
    }
    return {std::nullopt, exitSeen};
}

std::optional<DetectedMeeting> parseGoogleMeetWindow(const QString& title, const std::optional<QString>& bundleID,
                                                     Date now)
{
    QString shortTitle = title.trimmed();
    if (shortTitle.isEmpty())
        return std::nullopt;

    for (const QString& suffix : MeetingTables::browserTitleSuffixes()) {
        const qsizetype at = shortTitle.indexOf(suffix, 0, Qt::CaseInsensitive);
        if (at >= 0)
            shortTitle = shortTitle.left(at).trimmed();
    }

    // A notification counter such as "(2) " in front of the tab title.
    if (shortTitle.startsWith(u'(')) {
        const qsizetype close = shortTitle.indexOf(u')');
        if (close > 1 && isDecimalInteger(shortTitle.mid(1, close - 1)))
            shortTitle = shortTitle.mid(close + 1).trimmed();
    }

    const QString lowerTitle = shortTitle.toLower();
    if (lowerTitle == QStringLiteral("google meet") || lowerTitle == QStringLiteral("meet")
        || lowerTitle.startsWith(QStringLiteral("google meet: new"))
        || lowerTitle.startsWith(QStringLiteral("google meet: video calls"))
        || lowerTitle.contains(QStringLiteral("privacy policy")) || lowerTitle.contains(QStringLiteral("terms of service"))
        || containsAny(lowerTitle, MeetingTables::meetingExitPhrases()))
        return std::nullopt;

    auto meeting = [&](const QString& detail) {
        return DetectedMeeting{kMeet, detail, title, bundleID, now};
    };

    for (const QString& prefix : MeetingTables::meetTitlePrefixes()) {
        if (shortTitle.startsWith(prefix, Qt::CaseInsensitive)) {
            const QString detail = shortTitle.mid(prefix.size()).trimmed();
            if (isAcceptableMeetDetail(detail))
                return meeting(detail);
        }
    }
    for (const QString& suffix : MeetingTables::meetTitleSuffixes()) {
        if (shortTitle.endsWith(suffix, Qt::CaseInsensitive)) {
            const QString detail = shortTitle.chopped(suffix.size()).trimmed();
            if (isAcceptableMeetDetail(detail))
                return meeting(detail);
        }
    }

    // Compiled once: every poll runs this for each browser window.
    static const QRegularExpression code(MeetingTables::meetingCodePattern(),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = code.match(shortTitle);
    if (match.hasMatch())
        return meeting(match.captured(0));
    return std::nullopt;
}

bool isBrowser(const QString& appName, const QString& bundleID)
{
    const QString name = appName.toLower();
    const QString id = bundleID.toLower();
    if (MeetingTables::supportedBrowserBundleIDs().contains(id))
        return true;
    for (const QString& browser : MeetingTables::supportedBrowserNames()) {
        if (name == browser || name.startsWith(browser))
            return true;
    }
    return id.contains(QStringLiteral("chrome.app")) || id.contains(QStringLiteral("browser"));
}

std::optional<DetectedMeeting> scanRunningAppsForMeeting(const QList<RunningApplication>& applications, Date now)
{
    static const QList<std::pair<QString, QString>> meetingApps{
        {QStringLiteral("us.zoom.xos"), kZoom},
        {QStringLiteral("com.microsoft.teams"), kTeams}, // also the new client, "com.microsoft.teams2"
        {QStringLiteral("com.cisco.webex"), QStringLiteral("Cisco Webex")},
        {QStringLiteral("com.apple.facetime"), QStringLiteral("FaceTime")},
    };
    for (const RunningApplication& application : applications) {
        if (application.bundleID.isEmpty())
            continue;
        const QString id = application.bundleID.toLower();
        for (const auto& [key, appName] : meetingApps) {
            if (id.contains(key))
                return DetectedMeeting{appName, std::nullopt, std::nullopt, id, now};
        }
    }
    return std::nullopt;
}

bool isZoomMeetingEngineRunning(const QList<RunningApplication>& applications)
{
    for (const RunningApplication& application : applications) {
        const QString id = application.bundleID.toLower();
        if (id == QStringLiteral("us.zoom.aomhost") || id == QStringLiteral("us.zoom.caphost"))
            return true;
    }
    return false;
}

} // namespace MeetingScanRules
