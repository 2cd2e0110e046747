// The commands of the main window's menu: what they are, what each one opens
// or asks for, and the About panel they open.
#include "ViewModelFixture.h"

#include "app/AboutPanel.h"
#include "app/AppCommands.h"
#include "app/SettingsWindowController.h"
#include "models/AppVersion.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

class AppCommandsMenu : public ViewModelFixture {
protected:
    void SetUp() override
    {
        ViewModelFixture::SetUp();
        m_controller = std::make_unique<SettingsWindowController>(*m_settings);
        m_controller->setContentFactory([](RecordingViewModel&, std::function<void()>) { return new QLabel; });
    }

    void TearDown() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QStringLiteral("aboutPanel"))
                delete widget;
        m_controller.reset();
        ViewModelFixture::TearDown();
    }

    static QList<QWidget*> aboutPanels()
    {
        QList<QWidget*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QStringLiteral("aboutPanel") && widget->isVisible())
                found.append(widget);
        return found;
    }

    std::unique_ptr<SettingsWindowController> m_controller;
};

TEST_F(AppCommandsMenu, TheMenuListsTheCommandsInGroupsWithTheirShortcuts)
{
    AppCommands commands(*m_controller, [] {});
    QMenu menu;
    QWidget window;
    commands.install(menu, window);
    QStringList rows;
    for (const QAction* action : menu.actions())
        rows << (action->isSeparator() ? QStringLiteral("-")
                                       : action->text() + QLatin1Char('|') + action->shortcut().toString());
    EXPECT_EQ(rows, (QStringList{"About Nimbrel|", "-", "Settings...|Ctrl+,", "Check for Updates...|Ctrl+U", "-",
                                 "Quit Nimbrel|Ctrl+Q"}));
}

TEST_F(AppCommandsMenu, WithoutAnUpdateCheckItsCommandIsOffAndTheOthersWork)
{
    AppCommands commands(*m_controller, {});
    EXPECT_FALSE(commands.checkForUpdates()->isEnabled());
    commands.checkForUpdates()->trigger(); // a disabled action does nothing

    QSignalSpy quits(&commands, &AppCommands::quitRequested);
    commands.quit()->trigger();
    EXPECT_EQ(quits.size(), 1);
}

TEST_F(AppCommandsMenu, UpdateCheckRunsOncePerTrigger)
{
    int checks = 0;
    AppCommands commands(*m_controller, [&checks] { ++checks; });
    EXPECT_TRUE(commands.checkForUpdates()->isEnabled());
    commands.checkForUpdates()->trigger();
    commands.checkForUpdates()->trigger();
    EXPECT_EQ(checks, 2);
}

TEST_F(AppCommandsMenu, SettingsOpensTheWindowForTheViewModelOnceOneExists)
{
    AppCommands commands(*m_controller, {});
    commands.settings()->trigger();
    EXPECT_EQ(m_controller->window(), nullptr);

    RecordingViewModel& vm = makeViewModel();
    commands.settings()->trigger();
    ASSERT_NE(m_controller->window(), nullptr);
    EXPECT_TRUE(m_controller->window()->isVisible());
    EXPECT_EQ(m_controller->viewModel(), &vm);
    QWidget* first = m_controller->window();
    commands.settings()->trigger();
    EXPECT_EQ(m_controller->window(), first);
}

TEST_F(AppCommandsMenu, AboutShowsOnePanelWithTheVersionAndBuild)
{
    AppCommands commands(*m_controller, {});
    commands.about()->trigger();
    ASSERT_EQ(aboutPanels().size(), 1);
    QWidget* panel = aboutPanels().first();
    commands.about()->trigger();
    EXPECT_EQ(aboutPanels(), QList<QWidget*>{panel});

    EXPECT_EQ(panel->windowTitle(), "About Nimbrel");
    const auto* name = panel->findChild<QLabel*>(QStringLiteral("aboutName"));
    const auto* version = panel->findChild<QLabel*>(QStringLiteral("aboutVersion"));
    const auto* credits = panel->findChild<QLabel*>(QStringLiteral("aboutCredits"));
    ASSERT_TRUE(name && version && credits);
    EXPECT_EQ(name->text(), "Nimbrel");
    EXPECT_EQ(version->text(), QStringLiteral("Version %1 (Build %2)")
                                   .arg(AppVersion::currentVersion(), AppVersion::currentBuild()));
    EXPECT_EQ(credits->text().split(QLatin1Char('\n')), AboutPanel::texts().credits);
    for (const QLabel* label : {name, version, credits})
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

TEST_F(AppCommandsMenu, AClosedAboutPanelIsMadeAnewNextTime)
{
    QPointer<AboutPanel> first = AboutPanel::showPanel();
    ASSERT_TRUE(first);
    first->close();
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "deleted on close";
    AboutPanel* second = AboutPanel::showPanel();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(aboutPanels().size(), 1);
}

} // namespace
