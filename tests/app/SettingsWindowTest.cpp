// The one settings window: made on the first request, raised on later ones,
// rebuilt after a close, its frame kept across windows and launches.
#include "ViewModelFixture.h"

#include "app/SettingsWindowController.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>

namespace {

class SettingsWindowTest : public ViewModelFixture {
protected:
    void SetUp() override
    {
        ViewModelFixture::SetUp();
        m_controller = std::make_unique<SettingsWindowController>(*m_settings);
        m_controller->setContentFactory([this](RecordingViewModel& vm, std::function<void()> closeWindow) {
            builtFor.append(&vm);
            m_closeWindow = std::move(closeWindow);
            return new QLabel(QStringLiteral("content %1").arg(builtFor.size()));
        });
    }

    void TearDown() override
    {
        m_controller.reset();
        ViewModelFixture::TearDown();
    }

    QList<QWidget*> settingsWindows() const
    {
        QList<QWidget*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowTitle() == QStringLiteral("Settings") && widget->isVisible())
                found.append(widget);
        }
        return found;
    }

    std::unique_ptr<SettingsWindowController> m_controller;
    QList<RecordingViewModel*> builtFor;
    std::function<void()> m_closeWindow;
};

TEST_F(SettingsWindowTest, AskedTwiceGivesOneWindow)
{
    RecordingViewModel& vm = makeViewModel();
    m_controller->show(vm);
    QWidget* first = m_controller->window();
    ASSERT_NE(first, nullptr);
    m_controller->show(vm);
    EXPECT_EQ(m_controller->window(), first);
    EXPECT_EQ(builtFor.size(), 1);
    EXPECT_EQ(settingsWindows(), QList<QWidget*>{first});

    EXPECT_EQ(first->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(first->size(), QSize(540, 500));
    EXPECT_EQ(first->minimumSize(), first->maximumSize()) << "not resizable";
    EXPECT_TRUE(first->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(first->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(first->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(first->property(SettingsWindowController::autosaveProperty).toString(),
              QStringLiteral("NimbrelSettingsWindowAutosave"));
}

TEST_F(SettingsWindowTest, AfterACloseTheNextRequestBuildsAFreshWindow)
{
    RecordingViewModel& vm = makeViewModel();
    m_controller->show(vm);
    ASSERT_TRUE(m_controller->window());
    m_controller->close();
    EXPECT_EQ(m_controller->window(), nullptr);
    EXPECT_TRUE(settingsWindows().isEmpty());

    m_controller->show(vm);
    ASSERT_NE(m_controller->window(), nullptr);
    EXPECT_EQ(builtFor.size(), 2);
    EXPECT_EQ(settingsWindows().size(), 1);

    // The content's own button closes it the same way.
    m_closeWindow();
    EXPECT_EQ(m_controller->window(), nullptr);
    settle();
    EXPECT_TRUE(settingsWindows().isEmpty());
}

TEST_F(SettingsWindowTest, CloseWithoutAWindowDoesNothing)
{
    QSignalSpy changes(m_controller.get(), &SettingsWindowController::windowChanged);
    m_controller->close();
    EXPECT_EQ(m_controller->window(), nullptr);
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(SettingsWindowTest, TheFrameIsKeptForTheNextWindowAndTheNextLaunch)
{
    RecordingViewModel& vm = makeViewModel();
    m_controller->show(vm);
    m_controller->window()->move(123, 87);
    const QPoint moved = m_controller->window()->pos();
    m_controller->close();
    EXPECT_FALSE(m_settings->value(QStringLiteral("NimbrelSettingsWindowAutosave")).toByteArray().isEmpty());

    m_controller->show(vm);
    EXPECT_EQ(m_controller->window()->pos(), moved);
    m_controller->close();

    SettingsWindowController nextLaunch(*m_settings);
    nextLaunch.show(vm);
    EXPECT_EQ(nextLaunch.window()->pos(), moved);
    EXPECT_EQ(nextLaunch.window()->size(), QSize(540, 500));
}

TEST_F(SettingsWindowTest, AMoveIsStoredWhileTheWindowStaysOpen)
{
    RecordingViewModel& vm = makeViewModel();
    m_controller->show(vm);
    m_controller->window()->move(201, 99);
    const QPoint moved = m_controller->window()->pos();
    // Quitting with the window open leaves the frame last stored.
    ASSERT_TRUE(waitFor([&] { return !m_settings->value(QStringLiteral("NimbrelSettingsWindowAutosave")).isNull(); }));
    SettingsWindowController nextLaunch(*m_settings);
    nextLaunch.show(vm);
    EXPECT_EQ(nextLaunch.window()->pos(), moved);
}

} // namespace
