#include "views/common/FrameClock.h"
#include "views/common/TimerLabel.h"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class CountingWidget : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        painted += event->region();
    }
};

// A window on screen with one widget that counts its paints.
struct Scene {
    Scene()
    {
        window.resize(200, 120);
        widget = new CountingWidget(&window);
        widget->setGeometry(10, 10, 60, 60);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(2 * FrameClock::frameMs);
        widget->paints = 0;
        widget->painted = QRegion();
    }
    ~Scene() { FrameClock::shared().stopAnimating(widget); }

    QWidget window;
    CountingWidget* widget;
};

bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 3000);
}

} // namespace

TEST(FrameClock, DrawsTheChangesOfAFrameTogetherAndNoMoreOftenThanFrames)
{
    Scene scene;
    FrameClock& clock = FrameClock::shared();
    clock.requestUpdate(scene.widget, QRect(0, 0, 5, 5));
    clock.requestUpdate(scene.widget, QRect(20, 20, 5, 5));
    ASSERT_TRUE(waitFor([&] { return scene.widget->paints > 0; }));
    QTest::qWait(3 * FrameClock::frameMs);
    EXPECT_EQ(scene.widget->paints, 1);
    EXPECT_EQ(scene.widget->painted, QRegion(0, 0, 5, 5) + QRegion(20, 20, 5, 5)) << "its own rectangles only";

    // A change every millisecond for ten frames.
    scene.widget->paints = 0;
    QTimer often;
    often.setTimerType(Qt::PreciseTimer);
    QObject::connect(&often, &QTimer::timeout, [&] { clock.requestUpdate(scene.widget); });
    often.start(1);
    QTest::qWait(10 * FrameClock::frameMs);
    often.stop();
    EXPECT_GT(scene.widget->paints, 0);
    EXPECT_LE(scene.widget->paints, 12);
}

// Hidden (to the tray) or minimised: an animation does not step and a change
// is not drawn; back on screen, the animation goes on where it stood and the
// change is drawn. Who follows the window hears of both.
TEST(FrameClock, NothingIsDrawnOrSteppedOutOfSight)
{
    const struct {
        const char* name;
        std::function<void(QWidget&)> leave;
        std::function<void(QWidget&)> comeBack;
    } ways[] = {
        {"hidden", [](QWidget& window) { window.hide(); }, [](QWidget& window) { window.show(); }},
        {"minimised", [](QWidget& window) { window.showMinimized(); }, [](QWidget& window) { window.showNormal(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        std::vector<bool> followed;
        Scene scene;
        FrameClock& clock = FrameClock::shared();
        clock.followOnScreen(&scene.window, [&](bool onScreen) { followed.push_back(onScreen); });
        EXPECT_EQ(followed, std::vector<bool>{true});
        std::vector<qint64> steps;
        clock.animate(scene.widget, [&](qint64 stepMs) { steps.push_back(stepMs); });
        ASSERT_TRUE(waitFor([&] { return steps.size() >= 3; }));
        EXPECT_EQ(steps.front(), 0);

        way.leave(scene.window);
        QTest::qWait(2 * FrameClock::frameMs);
        EXPECT_FALSE(FrameClock::isOnScreen(scene.widget));
        steps.clear();
        scene.widget->paints = 0;
        clock.requestUpdate(scene.widget);
        QTest::qWait(6 * FrameClock::frameMs);
        EXPECT_TRUE(steps.empty());
        EXPECT_EQ(scene.widget->paints, 0);
        EXPECT_EQ(followed, (std::vector<bool>{true, false}));

        way.comeBack(scene.window);
        ASSERT_TRUE(waitFor([&] { return !steps.empty() && scene.widget->paints > 0; }));
        EXPECT_EQ(steps.front(), 0) << "no leap over the time out of sight";
        EXPECT_TRUE(clock.isAnimating(scene.widget));
        ASSERT_TRUE(waitFor([&] { return followed.size() == 3; }));
        EXPECT_TRUE(followed.back());

        clock.stopAnimating(scene.widget);
        QTest::qWait(2 * FrameClock::frameMs);
        const size_t stepped = steps.size();
        QTest::qWait(4 * FrameClock::frameMs);
        EXPECT_EQ(steps.size(), stepped);
    }
}

// A running time keeps its size while its digits change, so a tick never
// lays the window out again; it grows only with a longer text.
TEST(TimerLabel, KeepsItsSizeWhileTheDigitsChange)
{
    TimerLabel label;
    label.setText(QStringLiteral("00:00.0"));
    const QSize size = label.sizeHint();
    for (const char* text : {"11:11.1", "09:59.9", "59:58.7", "88:88.8"}) {
        label.setText(QString::fromLatin1(text));
        EXPECT_EQ(label.sizeHint(), size) << text;
    }
    label.setText(QStringLiteral("100:00.5"));
    EXPECT_GT(label.sizeHint().width(), size.width());
    EXPECT_EQ(label.text(), "100:00.5");
}
