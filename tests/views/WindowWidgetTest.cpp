#include "app/AppDelegate.h"
#include "app/MainWindowSetup.h"
#include "support/QtPrinters.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/logic/ActiveRowRules.h"
#include "views/logic/RecordingRowRules.h"
#include "views/logic/StatusMessageRules.h"
#include "views/logic/TransportRules.h"
#include "views/sidebar/InlineRenameField.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"
#include "views/style/Icons.h"
#include "views/window/SpaceKeyFilter.h"
#include "views/window/StatusMessageView.h"
#include "WindowFixture.h"

#include <QDir>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>

using Window = WindowFixture;

TEST_F(Window, KeepsItsMinimumSizeAndTheColumnLimits)
{
    makeWindow();
    m_window->resize(600, 300);
    QTest::qWait(20);
    EXPECT_GE(m_window->width(), 960);
    EXPECT_GE(m_window->height(), 560);

    m_window->resize(1400, 800);
    QTest::qWait(20);
    QSplitter* split = m_window->splitter();
    split->setSizes({1000, 400});
    QTest::qWait(20);
    EXPECT_LE(sidebar().width(), 360);
    EXPECT_GE(m_window->detailArea()->width(), 550);
    split->setSizes({10, 1390});
    QTest::qWait(20);
    EXPECT_GE(sidebar().width(), 220);
}

TEST_F(Window, StartsHiddenWithTheMinimizedFlag)
{
    makeViewModel();
    struct Case {
        QStringList options;
        bool visible;
    } cases[] = {
        {{}, true},
        {{"--minimized"}, false},
        {{"-minimized"}, false},
        {{"--minimized=yes"}, true},
    };
    for (const auto& c : cases) {
        AppDelegate delegate(QStringList{"nimbrel"} + c.options, *m_settings);
        delegate.applicationDidFinishLaunching();
        const auto window = MainWindowSetup::create(*m_vm);
        delegate.setMainWindow(window.get());
        delegate.presentMainWindow();
        pump(30);
        EXPECT_EQ(window->isVisible(), c.visible) << c.options.join(' ').toStdString();
        EXPECT_EQ(window->minimumSize(), QSize(960, 560));
    }
}

TEST_F(Window, SpacePlaysAndPausesOnlyWhenNobodyTypes)
{
    const auto standup = makeRecording("Standup", 5);
    seedLibrary({standup});
    makeWindow();
    QLineEdit* search = sidebar().searchBox()->field();

    const auto space = [&] { QTest::keyClick(m_window.get(), Qt::Key_Space); };
    const auto releaseFocus = [&] {
        sidebar().releaseSearchFocus();
        m_window->setFocus();
        if (QWidget* focus = QApplication::focusWidget())
            focus->clearFocus();
    };

    // The search field holds the focus: Space types a space.
    ASSERT_TRUE(clickIntoSearch());
    QTest::keyClick(search, Qt::Key_Space);
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(search->text(), " ");
    search->clear();
    m_vm->library().setSearchText(QString());

    releaseFocus();
    space();
    EXPECT_TRUE(m_player->isPlaying());
    space();
    EXPECT_FALSE(m_player->isPlaying());

    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> undo;
    } passes[] = {
        {"search focused", [&] { m_vm->library().setIsSearchFocused(true); },
         [&] { m_vm->library().setIsSearchFocused(false); }},
        {"renaming", [&] { m_vm->library().setIsRenamingActive(true); },
         [&] { m_vm->library().setIsRenamingActive(false); }},
        {"nothing selected", [&] { m_vm->library().setSelectedRecording(std::nullopt); },
         [&] { m_vm->library().setSelectedRecording(standup); }},
        {"a recording runs", [&] { startRecording(); },
         [&] {
             stopRecording(5, 4096);
             m_vm->library().selectRecording(standup);
         }},
    };
    for (const auto& c : passes) {
        releaseFocus();
        c.arrange();
        space();
        EXPECT_FALSE(m_player->isPlaying()) << c.name;
        m_player->pause();
        c.undo();
    }
    releaseFocus();

    // Any line edit holding the keyboard gets the space, also outside the sidebar.
    QLineEdit other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    other.setFocus();
    QTest::keyClick(&other, Qt::Key_Space);
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(other.text(), " ");

    // Another window of the app without a text field: Space still plays.
    QWidget plain;
    plain.show();
    plain.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&plain));
    QTest::keyClick(&plain, Qt::Key_Space);
    EXPECT_TRUE(m_player->isPlaying());

    // Off screen, the window lets Space alone.
    m_window->hide();
    QTest::keyClick(&plain, Qt::Key_Space);
    EXPECT_TRUE(m_player->isPlaying());
    EXPECT_FALSE(m_window->spaceKeyFilter()->isInstalled());
    m_window->show();
    m_window->show();
    EXPECT_TRUE(m_window->spaceKeyFilter()->isInstalled());
}

// With a recording selected at the start, Space plays it at once; with
// nothing to play, the search field has the keyboard.
TEST_F(Window, AfterLaunchSpacePlaysTheSelectedRecording)
{
    seedLibrary({makeRecording("Standup", 5)});
    makeWindow();
    pump(100); // past the search field's first focus
    QLineEdit* search = sidebar().searchBox()->field();
    EXPECT_FALSE(search->hasFocus());
    EXPECT_FALSE(m_vm->library().isSearchFocused());
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    QTest::keyClick(m_window.get(), Qt::Key_Space);
    EXPECT_TRUE(m_player->isPlaying());
}

TEST_F(Window, AfterLaunchAnEmptyLibraryLeavesTheKeyboardToTheSearch)
{
    makeWindow();
    QLineEdit* search = sidebar().searchBox()->field();
    ASSERT_TRUE(waitFor([&] { return search->hasFocus(); }));
    pump(100);
    EXPECT_TRUE(search->hasFocus());
    EXPECT_TRUE(m_vm->library().isSearchFocused());
}

TEST_F(Window, ClickInTheDetailAreaEndsTheSearchFocus)
{
    seedLibrary({makeRecording("Standup", 5)});
    makeWindow();
    QLineEdit* search = sidebar().searchBox()->field();
    ASSERT_TRUE(clickIntoSearch());
    EXPECT_TRUE(m_vm->library().isSearchFocused());

    QTest::mouseClick(m_window->detailArea(), Qt::LeftButton);
    EXPECT_FALSE(m_vm->library().isSearchFocused());
    pump(20);
    EXPECT_FALSE(search->hasFocus());
    QTest::keyClick(m_window.get(), Qt::Key_Space);
    EXPECT_TRUE(m_player->isPlaying());
}

TEST_F(Window, ReturnInTheSearchKeepsTheTextAndFreesSpace)
{
    seedLibrary({makeRecording("Standup", 5)});
    makeWindow();
    QLineEdit* search = sidebar().searchBox()->field();
    ASSERT_TRUE(clickIntoSearch());
    QTest::keyClicks(search, "stand");
    QTest::keyClick(search, Qt::Key_Return);
    pump(20);
    EXPECT_EQ(m_vm->library().searchText(), "stand");
    EXPECT_FALSE(m_vm->library().isSearchFocused());
    EXPECT_FALSE(search->hasFocus());
    QTest::keyClick(m_window.get(), Qt::Key_Space);
    EXPECT_TRUE(m_player->isPlaying());
}

TEST_F(Window, StatusMessageShowsItsTextWithTheRightIconAndGoes)
{
    m_statusClearDelay = std::chrono::milliseconds(200);
    makeWindow();
    StatusMessageView* status = m_window->statusMessage();
    EXPECT_FALSE(status->isVisible());

    m_vm->processing().copyTranscript(QStringLiteral("some words"));
    ASSERT_TRUE(status->isVisible());
    EXPECT_EQ(status->message(), "Transcript copied to clipboard!");
    EXPECT_EQ(status->symbol(), "checkmark.circle.fill");
    EXPECT_EQ(status->y(), 56);
    EXPECT_NEAR(status->x() + status->width() / 2, m_window->width() / 2, 1);

    m_vm->recorder().setIsMicEnabled(false);
    m_vm->recorder().setIsSystemAudioEnabled(false);
    m_vm->recorder().startNewRecording();
    EXPECT_EQ(status->message(), "Please enable at least one source (Mic or System Audio) to record.");
    EXPECT_EQ(status->symbol(), "exclamationmark.circle.fill");

    EXPECT_TRUE(waitFor([&] { return !status->isVisible(); }, 2000));
}

TEST_F(Window, AMessageFromTheLibrarysLoadShowsWithTheWindow)
{
    // The load runs while the view model is made, before there is a window.
    seedLibrary({makeRecording(QStringLiteral("Kept"), 5)});
    const QString folder = m_storage->storageDirectory();
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(".away")));
    makeWindow();
    StatusMessageView* status = m_window->statusMessage();
    ASSERT_TRUE(status->isVisible());
    EXPECT_EQ(status->message(), "The recordings folder cannot be read: No such file or directory");
    EXPECT_EQ(status->symbol(), "exclamationmark.circle.fill");
}

TEST_F(Window, EverySymbolOfTheViewsCanBeDrawn)
{
    QStringList symbols{"magnifyingglass", "waveform.badge.magnifyingglass", "xmark.circle.fill",
                        "checkmark.circle.fill", "exclamationmark.circle.fill", "text.quote", "sparkles",
                        "pencil", "arrow.down.circle", "arrow.down.circle.fill", "stop.circle.fill"};
    RecordingRowRules::State enhanced;
    enhanced.hasEnhancedFile = true;
    for (const auto& entry : RecordingRowRules::contextMenu({}) + RecordingRowRules::contextMenu(enhanced))
        symbols << entry.symbol;
    for (bool paused : {false, true}) {
        for (const auto& entry : ActiveRowRules::contextMenu(paused))
            symbols << entry.symbol;
    }
    for (RecorderState state : {RecorderState::idle, RecorderState::paused, RecorderState::recording}) {
        for (bool playing : {false, true}) {
            const auto bar = TransportRules::layout({state, true, playing});
            for (const auto& button : {bar.skipBack, bar.playPause, bar.skipForward, bar.pauseResume})
                if (!button.symbol.isEmpty())
                    symbols << button.symbol;
        }
    }
    symbols.removeDuplicates();
    for (const QString& symbol : symbols) {
        EXPECT_TRUE(Icons::hasSymbol(symbol)) << symbol.toStdString();
        const QImage image = Icons::pixmap(symbol, 24, Qt::red).toImage();
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) > 0;
        EXPECT_TRUE(drawn) << symbol.toStdString();
    }
}
