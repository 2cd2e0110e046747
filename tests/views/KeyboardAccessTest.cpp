// The main window without a mouse: every control on the Tab chain in
// reading order, named for screen readers, and the window's keys.
#include "support/QtPrinters.h"
#include "FakePlayer.h"
#include "KeyboardWalk.h"
#include "WindowFixture.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/common/FocusRing.h"
#include "views/detail/DetailTabPicker.h"
#include "views/detail/WaveformVisualizerView.h"
#include "views/sidebar/InlineRenameField.h"
#include "views/sidebar/RecordingRowDelegate.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"
#include "views/sourcebar/SourceControlBar.h"
#include "views/transport/TransportControlsView.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

using Keys = WindowFixture;
using namespace KeyboardWalk;

namespace {

QWidget* child(QWidget* root, const char* name)
{
    return root->findChild<QWidget*>(QString::fromLatin1(name));
}

// The entries of the popup menu that opens within `ms`, which is then closed.
QStringList menuThatOpens(const std::function<void()>& open, int ms = 1000)
{
    QStringList entries;
    QTimer::singleShot(ms, qApp, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, qApp, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                entries << action->text();
        }
        menu->close();
    });
    poll.start(20);
    open();
    QTest::qWait(50);
    return entries;
}

} // namespace

TEST_F(Keys, TabVisitsEveryControlOfTheMainWindowInReadingOrder)
{
    const auto older = makeRecording("Standup", 30);
    const auto newer = makeRecording("Design Review", 5);
    seedLibrary({older, newer});
    makeWindow();
    m_vm->library().selectRecording(newer);
    pump(50);

    for (const DetailViewTab tab : {DetailViewTab::waveform, DetailViewTab::transcript, DetailViewTab::recap}) {
        m_vm->library().setActiveDetailTab(tab);
        pump(50);
        const QList<QWidget*> chain = tabChain(m_window.get());
        for (QWidget* stop : tabStops(m_window.get()))
            EXPECT_TRUE(chain.contains(stop)) << "never reached: " << describe(stop).toStdString();
    }

    // Top to bottom, left to right: the source bar, the menu button, the
    // library column, the detail area, the transport bar.
    m_vm->library().setActiveDetailTab(DetailViewTab::waveform);
    pump(50);
    QList<QWidget*> chain = tabChain(m_window.get());
    // The walk is a circle: read it from the window's first control.
    const qsizetype first = chain.indexOf(child(m_window.get(), "microphoneToggle"));
    ASSERT_GE(first, 0);
    chain = chain.mid(first) + chain.mid(0, first);
    auto* picker = static_cast<WaveformVisualizerView*>(m_window->detailArea())->tabPicker();
    const QList<QWidget*> landmarks = {
        child(m_window.get(), "microphoneToggle"),
        m_window->menuButton(),
        sidebar().searchBox()->field(),
        sidebar().list(),
        picker->button(DetailViewTab::waveform),
        child(m_window.get(), "speedMenu"),
        child(m_window.get(), "skipBackButton"),
        child(m_window.get(), "playPauseButton"),
        child(m_window.get(), "skipForwardButton"),
        child(m_window.get(), "recordButton"),
        child(m_window.get(), "exportButton"),
    };
    qsizetype last = -1;
    for (QWidget* landmark : landmarks) {
        ASSERT_NE(landmark, nullptr);
        const qsizetype at = chain.indexOf(landmark);
        EXPECT_GT(at, last) << describe(landmark).toStdString();
        last = at;
    }
}

TEST_F(Keys, AFocusReachedByTabIsRingedAndAClickLeavesNoRing)
{
    seedLibrary({makeRecording("Standup", 5)});
    makeWindow();
    auto* ring = m_window->findChild<FocusRing*>();
    ASSERT_NE(ring, nullptr);
    QWidget* play = child(m_window.get(), "playPauseButton");
    play->setFocus(Qt::TabFocusReason);
    pump(20);
    EXPECT_EQ(ring->target(), play);
    EXPECT_TRUE(ring->isVisible());
    EXPECT_TRUE(ring->geometry().contains(QRect(play->mapTo(m_window.get(), QPoint()), play->size())));

    // Another window in front takes the ring away; coming back brings it back.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(ring->isVisible());
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    pump(20);
    EXPECT_EQ(QApplication::focusWidget(), play);
    EXPECT_TRUE(ring->isVisible());

    clickIntoSearch();
    pump(20);
    EXPECT_EQ(ring->target(), nullptr);
    EXPECT_FALSE(ring->isVisible());
}

TEST_F(Keys, EveryControlOfTheWindowAndItsPanesHasAnAccessibleName)
{
    const auto item = makeRecording("Standup", 5);
    seedLibrary({item});
    makeWindow();
    m_vm->library().selectRecording(item);
    for (const DetailViewTab tab : {DetailViewTab::waveform, DetailViewTab::transcript, DetailViewTab::recap}) {
        m_vm->library().setActiveDetailTab(tab);
        pump(50);
        for (QWidget* stop : tabStops(m_window.get()))
            EXPECT_FALSE(accessibleName(stop).isEmpty()) << describe(stop).toStdString();
    }
    // Icon buttons say what their tooltip says.
    QWidget* play = child(m_window.get(), "playPauseButton");
    EXPECT_EQ(accessibleName(play), play->toolTip());
    EXPECT_EQ(accessibleName(m_window->menuButton()), QStringLiteral("Main Menu"));
    EXPECT_EQ(accessibleName(sidebar().searchBox()->field()), QStringLiteral("Search recordings"));
}

TEST_F(Keys, PaneTabsAreReadAsTabsWithTheChosenOneSelected)
{
    seedLibrary({makeRecording("Standup", 5)});
    makeWindow();
    m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
    pump(30);
    auto* picker = static_cast<WaveformVisualizerView*>(m_window->detailArea())->tabPicker();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(picker)->role(), QAccessible::PageTabList);
    for (const DetailViewTab tab : {DetailViewTab::waveform, DetailViewTab::transcript, DetailViewTab::recap}) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(picker->button(tab));
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::PageTab);
        EXPECT_EQ(face->state().selected, tab == DetailViewTab::transcript);
    }
    // Tab enters the tabs at the chosen one; the arrows move between them.
    picker->button(DetailViewTab::transcript)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(picker->button(DetailViewTab::transcript), Qt::Key_Right);
    pump(30);
    EXPECT_EQ(m_vm->library().activeDetailTab(), DetailViewTab::recap);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    pump(30);
    EXPECT_EQ(m_vm->library().activeDetailTab(), DetailViewTab::transcript);

    QAccessibleInterface* recap = QAccessible::queryAccessibleInterface(picker->button(DetailViewTab::recap));
    EXPECT_EQ(recap->text(QAccessible::Name), QStringLiteral("Recap"));
    recap->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    pump(30);
    EXPECT_EQ(m_vm->library().activeDetailTab(), DetailViewTab::recap);
}

TEST_F(Keys, F2RenamesAndDeleteDeletesTheSelectedRecording)
{
    const auto keep = makeRecording("Keep", 30);
    const auto gone = makeRecording("Gone", 5);
    seedLibrary({keep, gone});
    makeWindow();
    m_vm->library().selectRecording(gone);
    pump(50);

    QTest::keyClick(m_window.get(), Qt::Key_F2);
    ASSERT_TRUE(waitFor([&] { return renameField(gone) && renameField(gone)->hasFocus(); }));
    QTest::keyClick(renameField(gone), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !isEditing(gone); }));

    // Delete in the search field deletes a character, never a recording.
    ASSERT_TRUE(clickIntoSearch());
    QTest::keyClicks(sidebar().searchBox()->field(), QStringLiteral("Go"));
    QTest::keyClick(sidebar().searchBox()->field(), Qt::Key_Home);
    QTest::keyClick(sidebar().searchBox()->field(), Qt::Key_Delete);
    pump(30);
    EXPECT_EQ(sidebar().searchBox()->field()->text(), QStringLiteral("o"));
    EXPECT_EQ(m_vm->library().recordings().size(), 2);
    QTest::keyClick(sidebar().searchBox()->field(), Qt::Key_Escape);
    pump(30);

    sidebar().releaseSearchFocus();
    m_vm->library().selectRecording(gone);
    pump(50);
    QTest::keyClick(m_window.get(), Qt::Key_Delete);
    ASSERT_TRUE(waitFor([&] { return m_vm->library().recordings().size() == 1; }));
    EXPECT_EQ(m_vm->library().recordings().first().id, keep.id);
}

TEST_F(Keys, KeysDoNothingWhereTheRowsMenuGreysTheEntryOut)
{
    const auto source = makeRecording("Source", 30);
    const auto other = makeRecording("Other", 5);
    seedLibrary({source, other});
    makeWindow();
    m_vm->library().selectRecording(other);
    m_vm->merge().startMergeMode(source);
    pump(50);
    ASSERT_TRUE(m_vm->merge().isMergeModeActive());
    sidebar().releaseSearchFocus();
    pump(30);
    QTest::keyClick(m_window.get(), Qt::Key_Delete);
    QTest::keyClick(m_window.get(), Qt::Key_F2);
    pump(50);
    EXPECT_EQ(m_vm->library().recordings().size(), 2);
    EXPECT_FALSE(isEditing(other));
    EXPECT_FALSE(isEditing(source));
}

TEST_F(Keys, CtrlFFocusesTheSearchAndEscapeClearsIt)
{
    seedLibrary({makeRecording("Standup", 5), makeRecording("Budget", 10)});
    makeWindow();
    sidebar().releaseSearchFocus();
    pump(30);
    QLineEdit* search = sidebar().searchBox()->field();
    ASSERT_FALSE(search->hasFocus());

    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return search->hasFocus(); }));
    EXPECT_TRUE(m_vm->library().isSearchFocused());
    QTest::keyClicks(search, QStringLiteral("bud"));
    EXPECT_EQ(m_vm->library().searchText(), QStringLiteral("bud"));
    EXPECT_EQ(rowTitles(), QStringList{"Budget"});

    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(m_vm->library().searchText(), QString());
    EXPECT_EQ(search->text(), QString());
    EXPECT_EQ(rowTitles().size(), 2);

    // Also from elsewhere in the window, and with the search selected whole by Ctrl+F.
    m_vm->library().setSearchText(QStringLiteral("stand"));
    sidebar().releaseSearchFocus();
    pump(30);
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    EXPECT_EQ(m_vm->library().searchText(), QString());
    m_vm->library().setSearchText(QStringLiteral("stand"));
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return search->hasFocus(); }));
    EXPECT_EQ(search->selectedText(), QStringLiteral("stand"));
}

TEST_F(Keys, ShiftF10AndTheMenuKeyOpenTheSelectedRowsMenu)
{
    const auto item = makeRecording("Standup", 5);
    seedLibrary({item, makeRecording("Budget", 10)});
    makeWindow();
    m_vm->library().selectRecording(item);
    pump(50);

    const QStringList expected = [&] {
        QMenu menu;
        rowMenu(item, menu);
        QStringList texts;
        for (QAction* action : menu.actions())
            if (!action->isSeparator())
                texts << action->text();
        return texts;
    }();
    ASSERT_FALSE(expected.isEmpty());

    // Nothing holds the keyboard, then the list does.
    EXPECT_EQ(menuThatOpens([&] { QTest::keyClick(m_window.get(), Qt::Key_F10, Qt::ShiftModifier); }), expected);
    sidebar().list()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(menuThatOpens([&] { QTest::keyClick(sidebar().list(), Qt::Key_F10, Qt::ShiftModifier); }), expected);
    // The Menu key arrives as a context menu event from the keyboard.
    EXPECT_EQ(menuThatOpens([&] {
                  QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1), sidebar().list()->mapToGlobal(QPoint(1, 1)));
                  QApplication::sendEvent(sidebar().list(), &event);
              }),
              expected);

    // In the search field the field's own menu comes instead.
    ASSERT_TRUE(clickIntoSearch());
    const QStringList fieldMenu
        = menuThatOpens([&] { QTest::keyClick(sidebar().searchBox()->field(), Qt::Key_F10, Qt::ShiftModifier); });
    EXPECT_FALSE(fieldMenu.isEmpty());
    EXPECT_NE(fieldMenu, expected);
}

TEST_F(Keys, SpacePressesAButtonReachedByTabAndPlaysOtherwise)
{
    const auto item = makeRecording("Standup", 5);
    seedLibrary({item});
    makeWindow();
    m_vm->library().selectRecording(item);
    sidebar().releaseSearchFocus();
    pump(50);
    QWidget* skip = child(m_window.get(), "skipForwardButton");
    ASSERT_TRUE(skip->isVisible());

    skip->setFocus(Qt::TabFocusReason);
    const double before = m_player->currentTime();
    QTest::keyClick(skip, Qt::Key_Space);
    pump(20);
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_NE(m_player->currentTime(), before) << "skipped";

    // Still so after a visit to another window.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    pump(20);
    ASSERT_EQ(QApplication::focusWidget(), skip);
    const double skipped = m_player->currentTime();
    QTest::keyClick(skip, Qt::Key_Space);
    pump(20);
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_NE(m_player->currentTime(), skipped);

    skip->clearFocus();
    pump(20);
    QTest::keyClick(m_window.get(), Qt::Key_Space);
    pump(20);
    EXPECT_TRUE(m_player->isPlaying());
}

TEST_F(Keys, ARowsDateStaysWholeWhileItsStatusShortens)
{
    const auto item = makeRecording("Standup", 5);
    seedLibrary({item});
    makeWindow();
    m_vm->processing().transcribeRecording(item);
    m_vm->processing().enhanceRecording(item);
    pump(50);
    const int row = sidebar().rowOf(item.id);
    ASSERT_GE(row, 0);
    RecordingRowDelegate* delegate = sidebar().list()->rowDelegate();
    const qreal date = delegate->dateWidth(row);

    bool shortened = false;
    qreal widest = 0;
    for (int width = 420; width >= 60; width -= 2) {
        const auto parts = delegate->detailParts(QRectF(0, 0, width, 14), row);
        ASSERT_FALSE(parts.transcribing.isEmpty());
        ASSERT_FALSE(parts.enhancing.isEmpty());
        widest = std::max(widest, parts.transcribing.width());
        // A status with any of its text still showing leaves the date whole.
        const bool textShows = parts.transcribing.width() > 13 || parts.enhancing.width() > 13;
        if (textShows) {
            EXPECT_DOUBLE_EQ(parts.date.width(), date) << width;
        }
        if (textShows && parts.transcribing.width() < widest)
            shortened = true;
        if (parts.date.width() > 0) {
            EXPECT_LE(parts.enhancing.right(), width + 0.5) << width;
        }
    }
    EXPECT_TRUE(shortened) << "the status gave way first";
}
