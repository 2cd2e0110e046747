#include "services/meetings/MeetingLog.h"
#include "services/meetings/MeetingScanRules.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const Date kNow = Date::fromReferenceSeconds(700000000);
const QRect kWindowFrame(0, 0, 1024, 768);

MeetingWindow window(QStringView appName, QStringView bundleID, QStringView title, QRect frame = kWindowFrame)
{
    return MeetingWindow{title.toString(), appName.toString(), bundleID.toString(), frame};
}

MeetingWindow chrome(QStringView title)
{
    return window(u"Google Chrome", u"com.google.chrome", title);
}

MeetingWindow firefox(QStringView title)
{
    return window(u"Firefox", u"org.mozilla.firefox", title);
}

MeetingWindow zoom(QStringView title, QRect frame = kWindowFrame)
{
    return window(u"zoom.us", u"us.zoom.xos", title, frame);
}

MeetingWindow teams(QStringView title)
{
    return window(u"Microsoft Teams", u"com.microsoft.teams", title);
}

struct Expected {
    std::optional<QString> appName; // absent: no meeting
    std::optional<QString> detail;
    bool exit = false;
};

struct Case {
    const char* name;
    QList<MeetingWindow> windows;
    Expected expected;
};

const Expected kNothing{};

std::optional<QString> s(const char16_t* text)
{
    return QString::fromUtf16(text);
}

} // namespace

class WindowScan : public testing::TestWithParam<Case> {};

TEST_P(WindowScan, FindsTheExpectedCall)
{
    const Case& c = GetParam();
    const ScanResult result = MeetingScanRules::scanWindowsForMeeting(c.windows, kNow);
    EXPECT_EQ(result.hasExplicitExitSignal, c.expected.exit);
    ASSERT_EQ(result.meeting.has_value(), c.expected.appName.has_value())
        << (result.meeting ? result.meeting->suggestedRecordingTitle().toStdString() : std::string("no meeting"));
    if (!result.meeting)
        return;
    EXPECT_EQ(result.meeting->appName, *c.expected.appName);
    EXPECT_EQ(result.meeting->meetingDetail, c.expected.detail);
    EXPECT_EQ(result.meeting->detectedAt, kNow);
}

INSTANTIATE_TEST_SUITE_P(
    GoogleMeet, WindowScan,
    testing::Values(
        Case{"ChromeTabWithCode", {chrome(u"Meet - abc-defg-hij - Google Chrome")}, {s(u"Google Meet"), s(u"abc-defg-hij")}},
        Case{"NotificationCounterIsDropped",
             {chrome(u"(2) Meet - abc-defg-hij - Google Chrome")},
             {s(u"Google Meet"), s(u"abc-defg-hij")}},
        Case{"WordCounterIsKept", {chrome(u"(beta) Meet - abc - Google Chrome")}, kNothing},
        Case{"NamedMeetingBeforeSuffix",
             {window(u"Safari", u"com.apple.safari", u"Weekly sync - Google Meet")},
             {s(u"Google Meet"), s(u"Weekly sync")}},
        Case{"EnDashPrefixAndFirefoxEmDash",
             {firefox(u"Meet \u2013 Design review \u2014 Mozilla Firefox")},
             {s(u"Google Meet"), s(u"Design review")}},
        Case{"PipeSuffix", {firefox(u"Retro | Google Meet — Mozilla Firefox")}, {s(u"Google Meet"), s(u"Retro")}},
        Case{"BareGoogleMeet", {window(u"Safari", u"com.apple.safari", u"Google Meet")}, kNothing},
        Case{"BareMeet", {window(u"Safari", u"com.apple.safari", u"Meet")}, kNothing},
        Case{"LandingPage", {chrome(u"Google Meet: New Meeting - Google Chrome")}, kNothing},
        Case{"VideoCallsPage", {chrome(u"Google Meet: Video calls and meetings - Google Chrome")}, kNothing},
        Case{"PrivacyPolicy", {chrome(u"Meet - Privacy Policy - Google Chrome")}, kNothing},
        Case{"CodeAnywhereIgnoringCase", {chrome(u"Join ABC-defg-HIJ now - Google Chrome")}, {s(u"Google Meet"), s(u"ABC-defg-HIJ")}},
        Case{"CodeNeedsWordBoundaries", {chrome(u"Join xabc-defg-hij now - Google Chrome")}, kNothing},
        Case{"OnlyInBrowsers", {window(u"Text Editor", u"gedit", u"Meet - abc-defg-hij - Google Chrome")}, kNothing},
        Case{"BrowserByNamePrefix",
             {window(u"Google Chrome Canary", u"google-chrome-unstable", u"Meet - abc-defg-hij")},
             {s(u"Google Meet"), s(u"abc-defg-hij")}},
        Case{"InstalledChromeApp",
             {window(u"Meet", u"com.google.chrome.app.kjgfgldnnfoeklkmfkjfagphfepbbdan", u"Meet - abc-defg-hij")},
             {s(u"Google Meet"), s(u"abc-defg-hij")}}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ExitPhrases, WindowScan,
    testing::Values(
        Case{"ReadyToJoinAnyCase", {chrome(u"Ready To Join - abc-defg-hij - Google Chrome")}, {std::nullopt, std::nullopt, true}},
        Case{"YouLeftTheMeeting", {firefox(u"You left the meeting — Mozilla Firefox")}, {std::nullopt, std::nullopt, true}},
        Case{"ItalianPhrase", {chrome(u"Hai abbandonato la chiamata - Google Chrome")}, {std::nullopt, std::nullopt, true}},
        Case{"ExitBeforeCallKeepsTheSignal",
             {chrome(u"Call ended - Google Chrome"), chrome(u"Meet - abc-defg-hij - Google Chrome")},
             {s(u"Google Meet"), s(u"abc-defg-hij"), true}},
        Case{"ExitAfterCallIsNotSeen",
             {chrome(u"Meet - abc-defg-hij - Google Chrome"), chrome(u"Call ended - Google Chrome")},
             {s(u"Google Meet"), s(u"abc-defg-hij"), false}},
        Case{"OnlyBrowserTitlesSignal", {zoom(u"Meeting ended", QRect(0, 0, 100, 100))}, kNothing},
        Case{"AppCallClearsTheSignal",
             {chrome(u"Call ended - Google Chrome"), zoom(u"Zoom Meeting")},
             {s(u"Zoom"), s(u"Meeting"), false}}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Zoom, WindowScan,
    testing::Values(
        Case{"MeetingWindow", {zoom(u"Zoom Meeting")}, {s(u"Zoom"), s(u"Meeting")}},
        Case{"NamedMeeting", {zoom(u"Zoom Meeting - Design review")}, {s(u"Zoom"), s(u"Design review")}},
        Case{"DashZoomSuffix", {zoom(u"Design review - Zoom")}, {s(u"Zoom"), s(u"Design review")}},
        Case{"OtherTitleIsTheDetail", {zoom(u"Ana's Personal Room")}, {s(u"Zoom"), s(u"Ana's Personal Room")}},
        Case{"NarrowWindow", {zoom(u"Zoom Meeting", QRect(0, 0, 200, 600))}, kNothing},
        Case{"LowWindow", {zoom(u"Zoom Meeting", QRect(0, 0, 600, 150))}, kNothing},
        Case{"Settings", {zoom(u"Settings")}, kNothing},
        Case{"HomeWindow", {zoom(u"Zoom Workplace - Free account")}, kNothing},
        Case{"AboutWindow", {zoom(u"About Zoom")}, kNothing},
        Case{"ByApplicationName", {window(u"zoom", u"", u"Zoom Meeting")}, {s(u"Zoom"), s(u"Meeting")}},
        Case{"LaunchPageInBrowser", {chrome(u"Launch Meeting - Zoom - Google Chrome")}, {s(u"Zoom"), std::nullopt}},
        Case{"WebClientInBrowser", {chrome(u"Zoom Meeting - Google Chrome")}, {s(u"Zoom"), std::nullopt}}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Teams, WindowScan,
    testing::Values(
        Case{"NoMeetingOrCall", {teams(u"Standup | Microsoft Teams")}, kNothing},
        Case{"MeetingWithDetail", {teams(u"Meeting with Ana | Microsoft Teams")}, {s(u"Microsoft Teams"), s(u"Meeting with Ana")}},
        Case{"ChatGivesNoDetail", {teams(u"Chat | Call | Microsoft Teams")}, {s(u"Microsoft Teams"), std::nullopt}},
        Case{"CalendarGivesNoDetail", {teams(u"Calendar Meeting | Microsoft Teams")}, {s(u"Microsoft Teams"), std::nullopt}},
        Case{"DashSeparator", {teams(u"Call with Bo - Microsoft Teams")}, {s(u"Microsoft Teams"), s(u"Call with Bo")}},
        Case{"NoSeparator", {teams(u"Meeting now")}, {s(u"Microsoft Teams"), std::nullopt}},
        Case{"CaseMatters", {teams(u"meeting notes | Microsoft Teams")}, kNothing},
        Case{"ByApplicationName", {window(u"teams-for-linux", u"", u"Meeting with Ana | Microsoft Teams")}, {s(u"Microsoft Teams"), s(u"Meeting with Ana")}},
        Case{"WebMeeting", {chrome(u"Microsoft Teams meeting | Microsoft Teams - Google Chrome")}, {s(u"Microsoft Teams"), std::nullopt}},
        Case{"WebHost", {chrome(u"teams.microsoft.com/v2 - Google Chrome")}, {s(u"Microsoft Teams"), std::nullopt}}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OtherApps, WindowScan,
    testing::Values(
        Case{"SlackHuddle", {window(u"Slack", u"com.tinyspeck.slackmacgap", u"Huddle with Tom")}, {s(u"Slack Huddle"), std::nullopt}},
        Case{"SlackChannel", {window(u"Slack", u"com.tinyspeck.slackmacgap", u"general - Acme - Slack")}, kNothing},
        Case{"WebexMeetingAnyCase", {window(u"Webex", u"com.cisco.webex", u"Personal Room meeting")}, {s(u"Cisco Webex"), std::nullopt}},
        Case{"WebexHome", {window(u"Webex", u"com.cisco.webex", u"Webex")}, kNothing},
        Case{"FaceTime", {window(u"FaceTime", u"com.apple.FaceTime", u"Ana")}, {s(u"FaceTime"), std::nullopt}},
        Case{"FaceTimeBlankTitle", {window(u"FaceTime", u"com.apple.FaceTime", u"   ")}, kNothing},
        Case{"UntitledWindowsAreSkipped",
             {MeetingWindow{std::nullopt, QStringLiteral("zoom.us"), QStringLiteral("us.zoom.xos"), kWindowFrame},
              window(u"zoom.us", u"us.zoom.xos", u""), window(u"Slack", u"", u"Huddle")},
             {s(u"Slack Huddle"), std::nullopt}},
        Case{"FirstWindowWins", {zoom(u"Zoom Meeting"), teams(u"Meeting with Ana | Microsoft Teams")}, {s(u"Zoom"), s(u"Meeting")}},
        Case{"NoWindows", {}, kNothing}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(WindowScan, TitlesOfAppWindowsStayUntrimmedAndMeetTitlesTrimmed)
{
    const QString teamsTitle = QStringLiteral("  Meeting with Ana | Microsoft Teams \n");
    ScanResult result = MeetingScanRules::scanWindowsForMeeting({teams(teamsTitle)}, kNow);
    ASSERT_TRUE(result.meeting);
    EXPECT_EQ(result.meeting->windowTitle, teamsTitle);
    EXPECT_EQ(result.meeting->ownerBundleID, QStringLiteral("com.microsoft.teams"));

    result = MeetingScanRules::scanWindowsForMeeting({chrome(QStringLiteral(" Meet - abc-defg-hij - Google Chrome "))}, kNow);
    ASSERT_TRUE(result.meeting);
    EXPECT_EQ(result.meeting->windowTitle, QStringLiteral("Meet - abc-defg-hij - Google Chrome"));
}

TEST(WindowScan, AWindowWithoutOwnerKeepsAnEmptyIdentifier)
{
    const ScanResult result =
        MeetingScanRules::scanWindowsForMeeting({window(QStringLiteral("Slack"), QString(), QStringLiteral("Huddle"))}, kNow);
    ASSERT_TRUE(result.meeting);
    EXPECT_EQ(result.meeting->ownerBundleID, QString());
}

TEST(RunningAppsScan, FirstListedMeetingApplicationWithoutWindow)
{
    const QList<RunningApplication> apps{{QString()}, {QStringLiteral("org.mozilla.firefox")},
                                         {QStringLiteral("com.microsoft.teams2")}, {QStringLiteral("us.zoom.xos")}};
    const auto meeting = MeetingScanRules::scanRunningAppsForMeeting(apps, kNow);
    ASSERT_TRUE(meeting);
    EXPECT_EQ(*meeting, (DetectedMeeting{QStringLiteral("Microsoft Teams"), std::nullopt, std::nullopt,
                                         QStringLiteral("com.microsoft.teams2"), kNow}));
    EXPECT_EQ(meeting->suggestedRecordingTitle(), QStringLiteral("Microsoft Teams Call"));

    const auto webex = MeetingScanRules::scanRunningAppsForMeeting({{QStringLiteral("Com.Cisco.Webex")}}, kNow);
    ASSERT_TRUE(webex);
    EXPECT_EQ(webex->appName, QStringLiteral("Cisco Webex"));
    EXPECT_EQ(webex->ownerBundleID, QStringLiteral("com.cisco.webex"));

    EXPECT_FALSE(MeetingScanRules::scanRunningAppsForMeeting(
        {{QStringLiteral("com.tinyspeck.slackmacgap")}, {QStringLiteral("org.mozilla.firefox")}}, kNow));
}

TEST(RunningAppsScan, ZoomMeetingEngineIsOnlyItsHostProcesses)
{
    EXPECT_TRUE(MeetingScanRules::isZoomMeetingEngineRunning({{QStringLiteral("US.ZOOM.AOMHOST")}}));
    EXPECT_TRUE(MeetingScanRules::isZoomMeetingEngineRunning({{QStringLiteral("us.zoom.caphost")}}));
    EXPECT_FALSE(MeetingScanRules::isZoomMeetingEngineRunning({{QStringLiteral("us.zoom.xos")}}));
}

TEST(DetectedMeetingTitle, EmptyDetailReadsAsNoDetail)
{
    DetectedMeeting meeting{QStringLiteral("Google Meet"), QString(), std::nullopt, std::nullopt, kNow};
    EXPECT_EQ(meeting.suggestedRecordingTitle(), QStringLiteral("Google Meet Call"));
    meeting.meetingDetail = QStringLiteral("abc-defg-hij");
    EXPECT_EQ(meeting.suggestedRecordingTitle(), QStringLiteral("Google Meet - abc-defg-hij"));
    meeting.windowTitle = QStringLiteral("T");
    EXPECT_EQ(meeting.id(), QStringLiteral("Google Meetabc-defg-hijT"));
}

// Window titles reach standard output in diagnostic lines; a title must not be
// able to send escape sequences to the terminal.
TEST(MeetingLog, ControlCharactersOfTitlesAreEscaped)
{
    EXPECT_EQ(MeetingLog::printable(QStringLiteral("Zoom\x1b]0;owned\x07 Meeting\n\u0085\u00e9")),
              QStringLiteral("Zoom\\u{1b}]0;owned\\u{07} Meeting\\n\\u{85}\u00e9"));
}
