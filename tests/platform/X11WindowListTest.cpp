#include "X11TestWindow.h"

#include "platform/x11/X11WindowList.h"
#include "support/TestEnvironment.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

std::optional<X11Window> findWindow(X11WindowList& list, uint32_t id)
{
    const auto windows = list.windows();
    if (!windows)
        return std::nullopt;
    for (const X11Window& window : *windows) {
        if (window.id == id)
            return window;
    }
    return std::nullopt;
}

// The window manager takes a moment to adopt a new window; its first one,
// while it loads its theme on a busy machine, takes seconds.
constexpr int kAdoptionMs = 20000;

std::optional<X11Window> waitForWindow(X11WindowList& list, uint32_t id,
                                       const std::function<bool(const X11Window&)>& ready = {})
{
    std::optional<X11Window> found;
    TestEnvironment::waitUntil([&] {
        found = findWindow(list, id);
        return found && (!ready || ready(*found));
    }, kAdoptionMs);
    return found;
}

} // namespace

class X11WindowListTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs the test display"; }
};

TEST_F(X11WindowListTest, ManagedWindowCarriesTitleClassOwnerAndFrame)
{
    X11TestWindow zoom({.netWmName = QStringLiteral("Zoom Meeting \u2013 R\u00e9union"),
                        .wmInstance = "zoom",
                        .wmClass = "zoom",
                        .pid = uint32_t(::getpid()),
                        .size = {640, 480}});
    X11WindowList list;
    const auto window = waitForWindow(list, zoom.id());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title, QStringLiteral("Zoom Meeting \u2013 R\u00e9union"));
    EXPECT_EQ(window->windowInstance, QStringLiteral("zoom"));
    EXPECT_EQ(window->windowClass, QStringLiteral("zoom"));
    EXPECT_EQ(window->pid, ::getpid());
    EXPECT_EQ(window->frame.size(), QSize(640, 480));
}

TEST_F(X11WindowListTest, TitleFallsBackToWmNameAndReadsStringsOfAnyType)
{
    X11TestWindow latin1({.wmName = QByteArray("Caf\xe9 standup")});
    X11TestWindow untitled({});
    X11WindowList list;
    const auto window = waitForWindow(list, latin1.id());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title, QStringLiteral("Caf\u00e9 standup"));
    EXPECT_EQ(window->pid, 0);
    const auto bare = waitForWindow(list, untitled.id());
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->title);

    // Some tools write _NET_WM_NAME typed STRING, filled with UTF-8.
    untitled.setNetWmNameAsString(QStringLiteral("Meet \u2013 abc-defg-hij").toUtf8());
    const auto renamed = waitForWindow(list, untitled.id(), [](const X11Window& w) { return w.title.has_value(); });
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->title, QStringLiteral("Meet \u2013 abc-defg-hij"));
}

TEST_F(X11WindowListTest, MinimisedWindowsStayListedAndClosedOnesGo)
{
    X11WindowList list;
    uint32_t closedId = 0;
    {
        X11TestWindow huddle({.netWmName = QStringLiteral("Huddle with Tom"), .wmInstance = "slack", .wmClass = "Slack"});
        closedId = huddle.id();
        ASSERT_TRUE(waitForWindow(list, huddle.id()));
        // A window manager that has just started can drop the first request
        // while it is still setting up; ask until the window is iconic.
        const QString id = QString::number(huddle.id());
        EXPECT_TRUE(TestEnvironment::waitUntil([&] {
            QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), id});
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("WM_STATE")});
            xprop.waitForFinished();
            return xprop.readAllStandardOutput().contains("Iconic");
        }, kAdoptionMs));
        EXPECT_TRUE(findWindow(list, huddle.id()));
    }
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !findWindow(list, closedId); }));
}

// Without a client list the root's children are walked; a window manager's
// frames are looked into for the client window they hold.
TEST_F(X11WindowListTest, TreeWalkFindsClientsInsideFrames)
{
    X11TestWindow teams({.netWmName = QStringLiteral("Meeting with Ana | Microsoft Teams"),
                         .wmInstance = "teams-for-linux",
                         .wmClass = "teams-for-linux"});
    X11WindowList managed;
    ASSERT_TRUE(waitForWindow(managed, teams.id())); // managed, so framed

    X11WindowList tree({}, X11WindowList::Walk::WindowTree);
    const auto window = findWindow(tree, teams.id());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title, QStringLiteral("Meeting with Ana | Microsoft Teams"));
    EXPECT_EQ(window->windowClass, QStringLiteral("teams-for-linux"));
}

TEST_F(X11WindowListTest, NoDisplayGivesNoList)
{
    X11WindowList list(QByteArrayLiteral(":4711"));
    EXPECT_FALSE(list.windows());
}
