#include "support/QtPrinters.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/common/PlainButton.h"
#include "views/sidebar/InlineRenameField.h"
#include "views/sidebar/RowRenameEditor.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"
#include "views/transport/RecordButton.h"
#include "views/transport/TransportControlsView.h"
#include "WindowFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

using Renaming = WindowFixture;

TEST_F(Renaming, ReturnRenamesASavedRecordingAndEscapeLeavesIt)
{
    const auto standup = makeRecording("Standup", 5);
    seedLibrary({standup});
    makeWindow();

    doubleClickRow(standup);
    InlineRenameField* field = renameField(standup);
    ASSERT_TRUE(field);
    EXPECT_TRUE(m_vm->library().isRenamingActive());
    EXPECT_FALSE(m_vm->library().isSearchFocused());
    ASSERT_TRUE(waitFor([&] { return field->hasFocus(); }));
    EXPECT_EQ(field->text(), "Standup");
    QTest::keyClicks(field, "  Daily standup\t");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(m_vm->library().recordings().first().title, "Daily standup");
    EXPECT_EQ(savedLibrary().first().title, "Daily standup");
    EXPECT_FALSE(m_vm->library().isRenamingActive());
    EXPECT_FALSE(isEditing(standup));

    // Escape and blanks both leave the title as it is, and close the field.
    for (const auto& keys : {std::pair<QString, Qt::Key>{"Other", Qt::Key_Escape}, {"   ", Qt::Key_Return}}) {
        clickRow(standup, RecordingList::Part::renameButton);
        InlineRenameField* again = renameField(standup);
        ASSERT_TRUE(again);
        ASSERT_TRUE(waitFor([&] { return again->hasFocus(); }));
        QTest::keyClicks(again, keys.first);
        QTest::keyClick(again, keys.second);
        EXPECT_EQ(m_vm->library().recordings().first().title, "Daily standup");
        EXPECT_FALSE(m_vm->library().isRenamingActive());
        EXPECT_FALSE(isEditing(standup));
    }
}

TEST_F(Renaming, SaveButtonAndTheFocusLossAfterItRenameOnce)
{
    const auto standup = makeRecording("Standup", 5);
    seedLibrary({standup});
    makeWindow();

    doubleClickRow(standup);
    InlineRenameField* field = renameField(standup);
    ASSERT_TRUE(field);
    ASSERT_TRUE(waitFor([&] { return field->isReady(); }));
    QTest::keyClicks(field, "Kickoff");
    click(field->parentWidget()->findChild<PlainButton*>("saveButton"));
    pump(50);
    EXPECT_EQ(m_vm->library().recordings().first().title, "Kickoff");
    EXPECT_FALSE(m_vm->library().isRenamingActive());
    EXPECT_EQ(m_vm->library().recordings().size(), 1);
}

TEST_F(Renaming, MovingTheRenameToAnotherRowLeavesTheFirstTitleAlone)
{
    const auto first = makeRecording("Standup", 5);
    const auto second = makeRecording("Planning", 20);
    seedLibrary({first, second});
    makeWindow();

    doubleClickRow(first);
    InlineRenameField* field = renameField(first);
    ASSERT_TRUE(waitFor([&] { return field && field->isReady(); }));
    QTest::keyClicks(field, "Half typed");

    QMenu menu;
    rowMenu(second, menu);
    menu.actions().first()->trigger(); // "Rename"
    pump(300);

    EXPECT_EQ(m_vm->library().recordings()[0].title, "Standup");
    EXPECT_EQ(m_vm->library().recordings()[1].title, "Planning");
    EXPECT_FALSE(isEditing(first));
    EXPECT_FALSE(renameField(first));
    ASSERT_TRUE(isEditing(second));
    ASSERT_TRUE(renameField(second));
    EXPECT_EQ(renameField(second)->text(), "Planning");
    EXPECT_TRUE(m_vm->library().isRenamingActive());
}

TEST_F(Renaming, DeletingTheRecordingBeingRenamedEndsTheRenaming)
{
    const auto first = makeRecording("Standup", 5);
    const auto second = makeRecording("Planning", 20);
    seedLibrary({first, second});
    makeWindow();

    doubleClickRow(second);
    ASSERT_TRUE(isEditing(second));
    EXPECT_TRUE(m_vm->library().isRenamingActive());
    // The context menu still works while the field is open.
    QMenu menu;
    rowMenu(second, menu);
    menu.actions().last()->trigger(); // "Delete Recording"
    pump(50);
    EXPECT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_FALSE(sidebar().editingRecordingID());
    EXPECT_FALSE(m_vm->library().isRenamingActive());
}

TEST_F(Renaming, RecordingInProgressTakesTheTypedName)
{
    makeWindow();
    startRecording();

    doubleClickActive();
    InlineRenameField* field = activeRenameField();
    ASSERT_TRUE(field);
    ASSERT_TRUE(waitFor([&] { return field->hasFocus(); }));
    EXPECT_EQ(field->text(), "New Recording 1");
    QTest::keyClicks(field, " Board sync ");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(m_vm->recorder().activeRecordingTitle(), "Board sync");
    EXPECT_FALSE(m_vm->library().isRenamingActive());
    EXPECT_EQ(activeTitle(), "Board sync");
}

// Stopping with the rename field open files the recording under the typed
// name, and leaves no renaming flag behind to keep Space from playing.
TEST_F(Renaming, StoppingWithTheFieldOpenKeepsTheTypedName)
{
    struct Case {
        const char* name;
        std::function<void()> stop;
    } cases[] = {
        {"transport stop button", [this] { transport().stopButton()->click(); }},
        {"transport Done", [this] { transport().doneButton()->click(); }},
        {"the row's menu",
         [this] {
             QMenu menu;
             activeMenu(menu);
             menu.actions().last()->trigger();
         }},
    };
    int round = 0;
    for (const auto& c : cases) {
        if (!m_window)
            makeWindow();
        startRecording();
        clickActive(RecordingList::Part::renameButton);
        InlineRenameField* field = activeRenameField();
        ASSERT_TRUE(field) << c.name;
        ASSERT_TRUE(waitFor([&] { return field->hasFocus(); })) << c.name;
        const QString typed = QStringLiteral("Typed name %1").arg(++round);
        QTest::keyClicks(field, typed);

        m_recorder->writeCaptureFile(4096);
        c.stop();
        EXPECT_FALSE(m_vm->library().isRenamingActive()) << c.name;
        m_recorder->stops.resolveLast({5.0, {}});
        ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; })) << c.name;
        EXPECT_EQ(m_vm->library().recordings().first().title, typed) << c.name;
        EXPECT_FALSE(m_vm->library().isRenamingActive()) << c.name;
        EXPECT_FALSE(sidebar().isEditingActiveRecording()) << c.name;
        EXPECT_FALSE(activeRowShown()) << c.name;
    }
}

// A transcription that finishes updates the selected recording; that must not
// take the keyboard from the field the user is typing in, nor save half a title.
TEST_F(Renaming, LibraryUpdatesNeverTakeTheFocus)
{
    const auto standup = makeRecording("Standup", 5);
    seedLibrary({standup});
    makeWindow();

    QLineEdit* search = sidebar().searchBox()->field();
    ASSERT_TRUE(clickIntoSearch());
    m_vm->processing().transcribeRecording(standup);
    QTest::keyClicks(search, "sta");
    m_transcriber->calls.resolveLast({QStringLiteral("the transcript"), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->library().recordings().first().transcript.has_value(); }));
    pump(50);
    EXPECT_TRUE(search->hasFocus());
    EXPECT_TRUE(m_vm->library().isSearchFocused());
    QTest::keyClicks(search, "nd");
    EXPECT_EQ(m_vm->library().searchText(), "stand");

    click(sidebar().searchBox()->clearButton());
    doubleClickRow(standup);
    InlineRenameField* field = renameField(standup);
    ASSERT_TRUE(field);
    ASSERT_TRUE(waitFor([&] { return field->isReady(); }));
    QTest::keyClicks(field, "Half");
    m_vm->processing().transcribeRecording(standup);
    m_transcriber->calls.resolveLast({QStringLiteral("another transcript"), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->library().recordings().first().transcript == "another transcript"; }));
    pump(50);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->text(), "Half");
    EXPECT_EQ(m_vm->library().recordings().first().title, "Standup");
    EXPECT_TRUE(m_vm->library().isRenamingActive());
}
