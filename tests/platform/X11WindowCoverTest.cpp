#include "X11TestWindow.h"

#include "platform/x11/X11WindowCover.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using TestEnvironment::waitUntil;

// A window under another that hides all of it counts as covered, and no
// longer once the other one goes; a window not asked about is never covered.
TEST(X11WindowCover, TellsAFullyCoveredWindowUntilItIsUncovered)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs the test display";
    X11TestWindow::Options options;
    options.netWmName = QStringLiteral("Covered window");
    options.size = QSize(200, 150);
    X11TestWindow window(options);
    X11WindowCover cover;
    QSignalSpy changed(&cover, &X11WindowCover::changed);
    cover.watch(window.id());
    EXPECT_FALSE(cover.isFullyCovered(window.id()));
    {
        X11TestWindow::Options over;
        over.coversScreen = true;
        X11TestWindow screen(over);
        ASSERT_TRUE(waitUntil([&] { return cover.isFullyCovered(window.id()); }, 5000));
        EXPECT_FALSE(cover.isFullyCovered(screen.id()));
        ASSERT_FALSE(changed.isEmpty());
        EXPECT_EQ(changed.first().at(0).value<uint32_t>(), window.id());
    }
    EXPECT_TRUE(waitUntil([&] { return !cover.isFullyCovered(window.id()); }, 5000));
}
