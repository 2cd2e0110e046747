#include "platform/proc/AppIdentityTable.h"

#include <gtest/gtest.h>

using Hints = AppIdentityTable::Hints;

namespace {

struct Case {
    const char* name;
    Hints hints;
    const char* bundleID;
};

} // namespace

class AppIdentityLookup : public testing::TestWithParam<Case> {};

TEST_P(AppIdentityLookup, MapsLinuxNamesOntoTheRulesIdentifiers)
{
    EXPECT_EQ(AppIdentityTable::resolve(GetParam().hints).bundleID, QString::fromUtf8(GetParam().bundleID));
}

INSTANTIATE_TEST_SUITE_P(
    Applications, AppIdentityLookup,
    testing::Values(
        Case{"ZoomWindowClass", {.windowClass = "zoom", .windowInstance = "zoom"}, "us.zoom.xos"},
        Case{"ZoomFlatpak", {.appId = "us.zoom.Zoom", .executable = "zoom"}, "us.zoom.xos"},
        Case{"ZoomSoundStream", {.executable = "pacat", .audioApplicationName = "ZOOM VoiceEngine"}, "us.zoom.xos"},
        Case{"ZoomMeetingHost", {.executable = "aomhost"}, "us.zoom.aomhost"},
        Case{"TeamsForLinux", {.windowClass = "teams-for-linux"}, "com.microsoft.teams"},
        Case{"TeamsPreview", {.windowClass = "Microsoft Teams - Preview", .executable = "teams"}, "com.microsoft.teams"},
        Case{"Slack", {.windowClass = "Slack", .executable = "slack"}, "com.tinyspeck.slackmacgap"},
        Case{"Webex", {.executable = "CiscoCollabHost"}, "com.cisco.webex"},
        Case{"FirefoxEsr", {.windowClass = "firefox-esr", .windowInstance = "Navigator"}, "org.mozilla.firefox"},
        Case{"Chromium", {.windowClass = "Chromium", .executable = "chromium"}, "com.google.chrome"},
        Case{"ChromeStream", {.executable = "chrome", .audioApplicationName = "Google Chrome"}, "com.google.chrome"},
        Case{"Brave", {.windowClass = "Brave-browser"}, "com.brave.browser"},
        Case{"Edge", {.executable = "msedge"}, "com.microsoft.edgemac"},
        Case{"Opera", {.windowClass = "Opera"}, "com.operasoftware.opera"},
        Case{"Vivaldi", {.windowClass = "Vivaldi-stable"}, "com.vivaldi.vivaldi"},
        Case{"UnknownKeepsItsExecutable", {.windowClass = "Gedit", .executable = "gedit"}, "gedit"},
        Case{"UnknownFlatpakKeepsItsId", {.appId = "org.gnome.Maps", .executable = "gnome-maps"}, "org.gnome.Maps"},
        Case{"NothingKnown", {}, ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(AppIdentityTable, FirstKnownHintWinsAndUnknownNamesFallBackToClassAndProgram)
{
    // A browser's installed web app: its own class, the browser's program.
    const AppIdentity app = AppIdentityTable::resolve({.windowClass = "Google-chrome", .executable = "zoom"});
    EXPECT_EQ(app, (AppIdentity{QStringLiteral("Google Chrome"), QStringLiteral("com.google.chrome")}));
    const AppIdentity unknown = AppIdentityTable::resolve({.windowClass = "Gedit", .executable = "gedit"});
    EXPECT_EQ(unknown, (AppIdentity{QStringLiteral("Gedit"), QStringLiteral("gedit")}));
    EXPECT_FALSE(AppIdentityTable::find({.executable = "gedit"}));
}
