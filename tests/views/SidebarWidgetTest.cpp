#include "support/QtPrinters.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/StatusLine.h"
#include "views/common/PlainButton.h"
#include "views/sidebar/RecordingList.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"
#include "WindowFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QApplication>
#include <QFileInfo>
#include <QSemaphore>
#include <QTest>

using Sidebar = WindowFixture;

namespace {

QAction* menuAction(QMenu& menu, const QString& label)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == label)
            return action;
    }
    return nullptr;
}

} // namespace

TEST_F(Sidebar, EmptyLibraryShowsItsEmptyState)
{
    makeWindow();
    EXPECT_TRUE(sidebar().showsEmptyState());
    EXPECT_EQ(sidebar().headerTitle(), "All Recordings");
    EXPECT_EQ(sidebar().headerCount(), "0");
    EXPECT_EQ(sidebar().emptyTitle(), "No recordings yet");
    EXPECT_EQ(sidebar().emptySubtitle(), "Click the red record button below to start.");
}

TEST_F(Sidebar, ALibraryStillBeingReadIsNotShownAsEmpty)
{
    seedLibrary({makeRecording("Standup", 5)});
    auto gate = std::make_shared<QSemaphore>();
    m_awaitLibrary = false;
    m_beforeLibraryLoad = [gate] { gate->acquire(); };
    makeWindow();
    EXPECT_FALSE(m_vm->library().isLibraryLoaded());
    EXPECT_FALSE(sidebar().showsEmptyState());

    gate->release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_vm->library().isLibraryLoaded(); }, 10000));
    EXPECT_FALSE(sidebar().showsEmptyState());
    EXPECT_EQ(rowTitles(), QStringList{"Standup"});
}

TEST_F(Sidebar, ListsTheLibraryNewestFirstWithTheSelectionMarked)
{
    const auto older = makeRecording("Planning", 90);
    const auto newer = makeRecording("Standup", 5);
    seedLibrary({newer, older});
    makeWindow();

    EXPECT_FALSE(sidebar().showsEmptyState());
    EXPECT_EQ(rowTitles(), (QStringList{"Standup", "Planning"}));
    EXPECT_EQ(sidebar().headerCount(), "2");
    EXPECT_TRUE(rowState(newer).isSelected);
    EXPECT_FALSE(rowState(older).isSelected);

    clickRow(older);
    ASSERT_TRUE(m_vm->library().selectedRecording());
    EXPECT_EQ(m_vm->library().selectedRecording()->id, older.id);
    EXPECT_TRUE(rowState(older).isSelected);
    EXPECT_FALSE(rowState(newer).isSelected);
}

TEST_F(Sidebar, SearchFiltersTheRowsWhileTheHeaderCountsTheLibrary)
{
    auto budget = makeRecording("Quarterly review", 30);
    budget.transcript = QStringLiteral("We went through the budget for next year and the hiring plan.");
    seedLibrary({makeRecording("Standup", 5), makeRecording("Standup retro", 10), budget});
    makeWindow();

    QLineEdit* field = sidebar().searchBox()->field();
    QTest::keyClicks(field, "standup");
    EXPECT_EQ(rowTitles(), (QStringList{"Standup", "Standup retro"}));
    EXPECT_EQ(sidebar().headerCount(), "3");
    EXPECT_TRUE(sidebar().searchBox()->clearButton()->isVisible());

    field->clear();
    QTest::keyClicks(field, "BUDGET");
    ASSERT_EQ(rowTitles(), (QStringList{"Quarterly review"}));
    // The quotation shows the transcript around the match, here all of it.
    EXPECT_EQ(quote(budget), *budget.transcript);

    field->clear();
    QTest::keyClicks(field, "zebra");
    EXPECT_TRUE(sidebar().showsEmptyState());
    EXPECT_EQ(sidebar().emptyTitle(), "No matches found");
    EXPECT_EQ(sidebar().emptySubtitle(), "Try a different search query.");

    click(sidebar().searchBox()->clearButton());
    EXPECT_EQ(m_vm->library().searchText(), "");
    EXPECT_EQ(rowTitles().size(), 3);
    EXPECT_FALSE(sidebar().searchBox()->clearButton()->isVisible());
}

TEST_F(Sidebar, QuotationFollowsATranscriptThatArrivesDuringASearch)
{
    const auto standup = makeRecording("Standup", 5);
    seedLibrary({standup});
    makeWindow();

    // The title keeps the row in the list; there is no transcript to quote yet.
    QTest::keyClicks(sidebar().searchBox()->field(), "standup");
    ASSERT_EQ(rowTitles(), (QStringList{"Standup"}));
    EXPECT_EQ(quote(standup), "");

    m_vm->processing().transcribeRecording(standup);
    m_transcriber->calls.resolveLast({QStringLiteral("The standup ran long today."), {}});
    EXPECT_TRUE(waitFor([&] { return quote(standup) == "The standup ran long today."; }));
}

TEST_F(Sidebar, RecordingInProgressHasItsOwnRowFirst)
{
    makeWindow();
    startRecording();

    EXPECT_FALSE(sidebar().showsEmptyState());
    EXPECT_EQ(sidebar().headerCount(), "1");
    ASSERT_TRUE(activeRowShown());
    EXPECT_EQ(activeTitle(), "New Recording 1");
    EXPECT_EQ(activeStatus(), "Recording in progress...");

    m_recorder->duration = 65.7;
    EXPECT_TRUE(waitFor([&] { return activeDuration() == "01:05"; }));

    m_vm->recorder().pauseResumeRecording();
    EXPECT_EQ(activeStatus(), "Recording paused");
    EXPECT_TRUE(activePaused());
    QMenu menu;
    activeMenu(menu);
    QStringList entries;
    for (QAction* action : menu.actions())
        entries << action->text();
    EXPECT_EQ(entries, (QStringList{"Rename", "Resume Recording", "", "Stop && Save Recording"}));

    // A search its title does not hold hides the row, without the empty state.
    QTest::keyClicks(sidebar().searchBox()->field(), "retro");
    EXPECT_FALSE(activeRowShown());
    EXPECT_FALSE(sidebar().showsEmptyState());
    click(sidebar().searchBox()->clearButton());
    EXPECT_TRUE(activeRowShown());

    stopRecording(5, 4096);
    EXPECT_FALSE(activeRowShown());
    EXPECT_EQ(rowTitles(), (QStringList{"New Recording 1"}));
    EXPECT_EQ(sidebar().headerCount(), "1");
}

namespace {

// The regions painted on a widget.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace

// A new second of the running time redraws its own row, not the whole list
// (a layout of every row, once a second, would grow with the library).
TEST_F(Sidebar, TheRunningTimeRedrawsItsRowAlone)
{
    seedLibrary({makeRecording("Standup", 5), makeRecording("Planning", 90), makeRecording("Retro", 300)});
    makeWindow();
    startRecording();
    ASSERT_TRUE(activeRowShown());
    m_recorder->duration = 3.2;
    ASSERT_TRUE(waitFor([&] { return activeDuration() == "00:03"; }));
    QTest::qWait(200);

    RecordingList* list = sidebar().list();
    PaintWatch watch(list->viewport());
    m_recorder->duration = 4.2;
    ASSERT_TRUE(waitFor([&] { return activeDuration() == "00:04" && !watch.painted.isEmpty(); }));
    QTest::qWait(200);
    const QRect row = list->visualRect(list->model()->index(0, 0));
    const QRect painted = watch.painted.boundingRect();
    EXPECT_TRUE(row.contains(painted)) << "painted " << painted.y() << ".." << painted.bottom() << ", the row "
                                       << row.y() << ".." << row.bottom();
}

TEST_F(Sidebar, ClicksDuringARecordingSelectNothing)
{
    const auto saved = makeRecording("Standup", 5);
    seedLibrary({saved});
    makeWindow();
    startRecording();
    EXPECT_FALSE(m_vm->library().selectedRecording());
    EXPECT_FALSE(rowState(saved).isSelected);

    clickRow(saved);
    EXPECT_FALSE(m_vm->library().selectedRecording());
    EXPECT_FALSE(m_vm->library().isSearchFocused());

    // The active row's click clears the selection; the saved row still is not selected.
    clickActive();
    EXPECT_FALSE(m_vm->library().selectedRecording());
}

TEST_F(Sidebar, RowCommandsReachTheViewModel)
{
    const auto first = makeRecording("Standup", 5);
    const auto second = makeRecording("Planning", 20);
    seedLibrary({first, second});
    makeWindow();

    QList<QUuid> revealed;
    sidebar().setRevealHandler([&](const RecordingItem& item) { revealed << item.id; });

    {
        QMenu menu;
        rowMenu(second, menu);
        menuAction(menu, "Show in File Manager")->trigger();
        EXPECT_EQ(revealed, (QList<QUuid>{second.id}));
    }
    {
        QMenu menu;
        rowMenu(second, menu);
        menuAction(menu, "Enhance Voice")->trigger();
        ASSERT_EQ(m_enhancer->calls.count(), 1);
        EXPECT_TRUE(rowState(second).isEnhancing);
        QMenu again;
        rowMenu(second, again);
        EXPECT_FALSE(menuAction(again, "Enhancing Voice...")->isEnabled());
    }

    m_vm->processing().transcribeRecording(first);
    EXPECT_TRUE(rowState(first).isTranscribing);
    m_transcriber->calls.resolveLast({QStringLiteral("hello"), {}});
    EXPECT_TRUE(waitFor([&] { return !rowState(first).isTranscribing; }));

    {
        QMenu menu;
        rowMenu(first, menu);
        menuAction(menu, "Delete Recording")->trigger();
        EXPECT_EQ(rowTitles(), (QStringList{"Planning"}));
        EXPECT_EQ(m_vm->library().recordings().size(), 1);
    }
}

TEST_F(Sidebar, ThePaintedExportButtonExportsItsOwnRow)
{
    const auto first = makeRecording("Standup", 5);
    const auto second = makeRecording("Planning", 20);
    seedLibrary({first, second});
    makeWindow();

    clickRow(second, RecordingList::Part::exportButton);
    ASSERT_TRUE(waitFor([&] { return m_vm->status().exportMessage().has_value(); }));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Exported 'Planning.mp3' to Downloads!"));
    EXPECT_TRUE(QFileInfo::exists(m_dir.filePath(QStringLiteral("Downloads/Planning.mp3"))));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("Downloads/Standup.mp3"))));
}

TEST_F(Sidebar, ArrowKeysInTheListMoveTheSelection)
{
    const auto first = makeRecording("Standup", 5);
    const auto second = makeRecording("Planning", 20);
    seedLibrary({first, second});
    makeWindow();

    QWidget* list = sidebar().list();
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_TRUE(m_vm->library().selectedRecording());
    EXPECT_EQ(m_vm->library().selectedRecording()->id, second.id);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(m_vm->library().selectedRecording()->id, second.id);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(m_vm->library().selectedRecording()->id, first.id);
    EXPECT_TRUE(rowState(first).isSelected);

    // Each step is a selection that frees the keyboard, yet the list keeps
    // it: the next arrow still moves, and Space plays.
    pump(20);
    ASSERT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(m_vm->library().selectedRecording()->id, second.id);
    pump(20);
    ASSERT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(m_player->isPlaying());
}
