// The tray item and the main window's close and reopen, on the test X server:
// with a tray host (trayer) and without one.
#include "TrayHost.h"
#include "ViewModelFixture.h"

#include "app/MenuBarManager.h"
#include "app/SettingsWindowController.h"
#include "common/SettingsKeys.h"
#include "common/SettingsTable.h"
#include "viewmodels/RecorderViewModel.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

namespace {

class TrayFixture : public ViewModelFixture {
protected:
    void SetUp() override
    {
        ViewModelFixture::SetUp();
        m_settings->registerDefaults(SettingsTable::launchDefaults());
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "runs on the test X server";
        m_settingsWindow = std::make_unique<SettingsWindowController>(*m_settings);
        m_manager = std::make_unique<MenuBarManager>(*m_settings, *m_settingsWindow, [this] { return m_detecting; });
    }

    void TearDown() override
    {
        if (QMenu* menu = m_manager ? m_manager->menu() : nullptr)
            menu->hide();
        m_window.reset();
        m_manager.reset();
        m_settingsWindow.reset();
        ViewModelFixture::TearDown();
    }

    QWidget& showMainWindow()
    {
        m_window = std::make_unique<QWidget>();
        m_window->setWindowTitle(QStringLiteral("Nimbrel"));
        m_window->resize(640, 400);
        m_manager->registerMainWindow(m_window.get());
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        return *m_window;
    }

    // The icon sits in the tray host's panel (before that, Qt places it at
    // the screen's origin).
    bool isEmbedded() const
    {
        const QRect area = m_manager->trayIcon()->geometry();
        return !area.isEmpty() && area.topLeft() != QPoint(0, 0);
    }

    // Pixels of the tray icon as the screen shows them.
    QImage trayPixels() const
    {
        const QRect area = m_manager->trayIcon()->geometry();
        return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    }

    static int redPixels(const QImage& image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += (c.red() > 180 && c.green() < 110 && c.blue() < 110) ? 1 : 0;
            }
        }
        return count;
    }

    std::unique_ptr<SettingsWindowController> m_settingsWindow;
    std::unique_ptr<MenuBarManager> m_manager;
    std::unique_ptr<QWidget> m_window;
    bool m_detecting = true;
};

class WithTray : public TrayFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.isReady()) << "trayer did not take the tray";
        TrayFixture::SetUp();
    }

    TrayHost m_host;
};

TEST_F(WithTray, TheIconAppearsAndShowsARecordingWithinASecond)
{
    makeViewModel();
    m_manager->setup();
    QSystemTrayIcon* icon = m_manager->trayIcon();
    m_manager->setup();
    EXPECT_EQ(m_manager->trayIcon(), icon) << "one tray item";
    ASSERT_TRUE(waitFor([&] { return isEmbedded(); }, 5000)) << "embedded in the tray";
    EXPECT_TRUE(m_manager->isTrayReachable());
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Nimbrel"));
    ASSERT_TRUE(waitFor([&] { return redPixels(trayPixels()) == 0; }));

    startRecording();
    QElapsedTimer sinceStart;
    sinceStart.start();
    ASSERT_TRUE(waitFor([&] { return m_manager->currentButton().look == TrayMenu::Look::recording; }, 3000));
    EXPECT_LE(sinceStart.elapsed(), 1100);
    EXPECT_TRUE(icon->toolTip().startsWith(QStringLiteral("Nimbrel Recording 00:0"))) << qPrintable(icon->toolTip());
    EXPECT_TRUE(waitFor([&] { return redPixels(trayPixels()) > 20; })) << "the red recording disc is on screen";

    m_vm->recorder().pauseResumeRecording();
    ASSERT_TRUE(waitFor([&] { return m_manager->currentButton().look == TrayMenu::Look::paused; }, 3000));
    EXPECT_TRUE(icon->toolTip().startsWith(QStringLiteral("Nimbrel Paused "))) << qPrintable(icon->toolTip());
}

TEST_F(WithTray, TheMenuIsBuiltFromTheStateEachTimeItOpens)
{
    makeViewModel();
    m_manager->setup();
    ASSERT_TRUE(waitFor([&] { return isEmbedded(); }, 5000));

    // A click on the icon opens the menu, as a right click does.
    // The host may still be placing the icon: clicked again until the menu shows.
    QMenu* menu = m_manager->menu();
    ASSERT_TRUE(waitFor(
        [&] {
            if (!menu->isVisible()) {
                const QPoint centre = m_manager->trayIcon()->geometry().center();
                QProcess::execute(QStringLiteral("xdotool"),
                                  {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
                                   QStringLiteral("click"), QStringLiteral("1")});
                waitFor([&] { return menu->isVisible(); }, 500);
            }
            return menu->isVisible();
        },
        8000));
    EXPECT_FALSE(m_manager->hasUserRequestedOpen()) << "the click chose no entry";
    QStringList titles;
    for (QAction* action : menu->actions())
        titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(titles, (QStringList{"Open Nimbrel", "-", "Status: Monitoring for meetings", "Start Recording", "-",
                                   "Settings...", "-", "Quit Nimbrel"}));
    EXPECT_FALSE(menu->actions().at(2)->isEnabled());
    EXPECT_EQ(menu->actions().at(7)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

    // "Start Recording" starts one; while it starts, the toggle does nothing.
    menu->actions().at(3)->trigger();
    menu->hide();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::starting);
    EXPECT_EQ(m_recorder->starts.count(), 1);
    menu->popup(QPoint(200, 200));
    EXPECT_EQ(menu->actions().at(3)->text(), QStringLiteral("Start Recording"));
    menu->actions().at(3)->trigger();
    menu->hide();
    EXPECT_EQ(m_recorder->starts.count(), 1);
    m_recorder->starts.resolveLast();
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));

    m_detecting = false;
    menu->popup(QPoint(200, 200));
    EXPECT_TRUE(menu->actions().at(2)->text().startsWith(QStringLiteral("Recording: 00:0")));
    EXPECT_EQ(menu->actions().at(3)->text(), QStringLiteral("Stop Recording"));
    menu->actions().at(3)->trigger();
    menu->hide();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    // Stopping: the toggle does nothing either.
    menu->popup(QPoint(200, 200));
    EXPECT_EQ(menu->actions().at(2)->text(), QStringLiteral("Status: Ready"));
    menu->actions().at(3)->trigger();
    menu->hide();
    EXPECT_EQ(m_recorder->stops.count(), 1);
    EXPECT_EQ(m_recorder->starts.count(), 1);

    // "Settings..." opens the settings window; "Quit Nimbrel" asks to quit.
    menu->popup(QPoint(200, 200));
    menu->actions().at(5)->trigger();
    menu->hide();
    ASSERT_NE(m_settingsWindow->window(), nullptr);
    EXPECT_TRUE(m_settingsWindow->window()->isVisible());
    QSignalSpy quits(m_manager.get(), &MenuBarManager::quitRequested);
    menu->popup(QPoint(200, 200));
    menu->actions().at(7)->trigger();
    menu->hide();
    EXPECT_EQ(quits.size(), 1);
}

TEST_F(WithTray, BeforeTheViewModelExistsTheToggleOnlyRedraws)
{
    ASSERT_EQ(RecordingViewModel::shared(), nullptr);
    m_detecting = false;
    m_manager->setup();
    QMenu* menu = m_manager->menu();
    menu->popup(QPoint(200, 200));
    EXPECT_EQ(menu->actions().at(2)->text(), QStringLiteral("Status: Ready"));
    EXPECT_EQ(menu->actions().at(3)->text(), QStringLiteral("Start Recording"));
    menu->actions().at(3)->trigger();
    menu->actions().at(5)->trigger();
    menu->hide();
    EXPECT_EQ(m_settingsWindow->window(), nullptr);
    EXPECT_EQ(m_manager->currentButton().look, TrayMenu::Look::idle);
}

TEST_F(WithTray, CloseHidesTheWindowAndOpenNimbrelBringsItBack)
{
    makeViewModel();
    m_manager->setup();
    ASSERT_TRUE(waitFor([&] { return m_manager->isTrayReachable(); }));
    QWidget& window = showMainWindow();
    // The settings window open beside it does not count as a main window.
    m_settingsWindow->show(*m_vm);

    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_FALSE(m_manager->hasUserRequestedOpen());

    QMenu* menu = m_manager->menu();
    menu->popup(QPoint(200, 200));
    ASSERT_EQ(menu->actions().at(0)->text(), QStringLiteral("Open Nimbrel"));
    menu->actions().at(0)->trigger();
    menu->hide();
    EXPECT_TRUE(m_manager->hasUserRequestedOpen());
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }));
    EXPECT_EQ(m_manager->findMainWindow(), &window);
    EXPECT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
}

// Whether the app then quits is the delegate's answer to the last window
// closing, tried with the real app in TrayAppTest.
TEST_F(WithTray, WithTheSettingOffTheWindowCloses)
{
    m_settings->setValue(SettingsKeys::keepInMenuBarOnClose, false);
    makeViewModel();
    m_manager->setup();
    ASSERT_TRUE(waitFor([&] { return m_manager->isTrayReachable(); }));
    QWidget& window = showMainWindow();
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());

    // During a recording the tray item leads back to it.
    startRecording();
    m_manager->reopenMainWindow();
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }));
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WithTray, ReopenDeminimisesTheWindow)
{
    m_manager->setup();
    QWidget& window = showMainWindow();
    window.showMinimized();
    ASSERT_TRUE(waitFor([&] { return window.isMinimized(); }));
    m_manager->reopenMainWindow();
    ASSERT_TRUE(waitFor([&] { return !window.isMinimized() && window.isVisible(); }));
    EXPECT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
}

// The panel holding the tray is killed and started again while the window
// is hidden in the tray.
class TrayHostRestart : public TrayFixture {};

TEST_F(TrayHostRestart, AHiddenWindowComesBackMinimisedAndTheItemReturnsWithTheHost)
{
    auto host = std::make_unique<TrayHost>();
    ASSERT_TRUE(host->isReady());
    makeViewModel();
    m_manager->setup();
    ASSERT_TRUE(waitFor([&] { return isEmbedded(); }, 5000));
    QWidget& window = showMainWindow();
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());

    host.reset();
    // Nothing else would lead back to the running app.
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }, 3000));
    EXPECT_TRUE(waitFor([&] { return window.isMinimized(); }));
    EXPECT_FALSE(m_manager->isTrayReachable());

    host = std::make_unique<TrayHost>();
    ASSERT_TRUE(host->isReady());
    ASSERT_TRUE(waitFor([&] { return m_manager->isTrayReachable() && isEmbedded(); }, 5000));
    // The window stays where it is; closing it hides it in the tray again.
    EXPECT_TRUE(window.isMinimized());
    m_manager->reopenMainWindow();
    ASSERT_TRUE(waitFor([&] { return window.isVisible() && !window.isMinimized(); }));
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());
}

class WithoutTray : public TrayFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TrayHost::waitUntilNoTray()) << "a tray host is running";
        TrayFixture::SetUp();
    }
};

TEST_F(WithoutTray, CloseMinimisesWheneverTheAppWouldStayRunning)
{
    struct Case {
        bool keepInTray;
        bool recording;
        bool minimised; // else closed
    };
    const Case cases[] = {{true, false, true}, {false, true, true}, {false, false, false}};
    makeViewModel();
    m_manager->setup();
    EXPECT_FALSE(m_manager->isTrayReachable());
    QWidget& window = showMainWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "keep " << c.keepInTray << " recording " << c.recording);
        m_settings->setValue(SettingsKeys::keepInMenuBarOnClose, c.keepInTray);
        if (c.recording && m_vm->recorder().recorderState() == RecorderState::idle)
            startRecording();
        if (!c.recording && m_vm->recorder().recorderState() != RecorderState::idle)
            stopRecording(3.0, 9000);
        m_manager->reopenMainWindow();
        ASSERT_TRUE(waitFor([&] { return window.isVisible() && !window.isMinimized(); }));

        window.close();
        if (c.minimised) {
            EXPECT_TRUE(window.isVisible());
            EXPECT_TRUE(waitFor([&] { return window.isMinimized(); }));
        } else {
            EXPECT_FALSE(window.isVisible());
        }
    }
}

TEST_F(WithoutTray, AHiddenStartMinimisesInstead)
{
    m_manager->setup();
    QWidget& window = showMainWindow();
    m_manager->hideMainWindowAtLaunch(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(waitFor([&] { return window.isMinimized(); }));
}

TEST(MainWindowCandidate, TheSettingsWindowPanelsAndPopupsAreNotMainWindows)
{
    QWidget plain;
    EXPECT_TRUE(MenuBarManager::isMainWindowCandidate(&plain));
    QWidget settings;
    settings.setWindowTitle(QStringLiteral("Settings"));
    EXPECT_FALSE(MenuBarManager::isMainWindowCandidate(&settings));
    QWidget autosaved;
    autosaved.setProperty(SettingsWindowController::autosaveProperty, SettingsWindowController::autosaveName);
    EXPECT_FALSE(MenuBarManager::isMainWindowCandidate(&autosaved));
    QDialog dialog;
    EXPECT_FALSE(MenuBarManager::isMainWindowCandidate(&dialog));
    QMenu popup;
    EXPECT_FALSE(MenuBarManager::isMainWindowCandidate(&popup));
    QWidget tool(nullptr, Qt::Tool);
    EXPECT_FALSE(MenuBarManager::isMainWindowCandidate(&tool));
    QWidget child(&plain);
    EXPECT_FALSE(MenuBarManager::isMainWindowCandidate(&child));
}

} // namespace
