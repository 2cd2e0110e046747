#include "views/sidebar/PulsingDot.h"

#include <QTest>

#include <gtest/gtest.h>

// The ring breathes while the dot is on screen and holds still while it is not.
TEST(PulsingDot, BreathesOnlyWhileShown)
{
    qunsetenv("NIMBREL_NO_ANIMATIONS");
    QWidget window;
    auto* dot = new PulsingDot(&window);
    window.show();
    const double first = dot->pulse();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dot->pulse() != first; }, 2000));

    window.hide();
    const double held = dot->pulse();
    QTest::qWait(150);
    EXPECT_EQ(dot->pulse(), held);

    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dot->pulse() != held; }, 2000));
}
