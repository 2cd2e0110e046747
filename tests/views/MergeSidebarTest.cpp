// Merge mode in the library column: the panel, the rows' check boxes, the
// question before merging and Escape.

#include "support/QtPrinters.h"
#include "WindowFixture.h"

#include "audio/ToneFiles.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/TrimSession.h"
#include "views/sidebar/MergePanel.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

class MergeSidebar : public WindowFixture {
protected:
    QAction* menuAction(const RecordingItem& item, const QString& label)
    {
        m_menu = std::make_unique<QMenu>();
        rowMenu(item, *m_menu);
        for (QAction* action : m_menu->actions()) {
            if (action->text() == label)
                return action;
        }
        ADD_FAILURE() << "no menu entry " << label.toStdString();
        return nullptr;
    }

    MergePanel& panel() const { return *sidebar().mergePanel(); }

    QAbstractButton* confirmationButton(const QString& label) const
    {
        QMessageBox* box = sidebar().mergeConfirmation();
        if (!box)
            return nullptr;
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == label)
                return button;
        }
        return nullptr;
    }

    std::unique_ptr<QMenu> m_menu;
};

TEST_F(MergeSidebar, TheRowMenuStartsMergeModeWithItsPanelAndCheckBoxes)
{
    const auto first = makeRecording("Standup", 5);
    const auto second = makeRecording("Planning", 20);
    const auto third = makeRecording("Retro", 40);
    seedLibrary({first, second, third});
    makeWindow();
    EXPECT_FALSE(panel().isVisible());

    QAction* start = menuAction(second, "Merge with other recordings...");
    ASSERT_TRUE(start);
    EXPECT_TRUE(start->isEnabled());
    start->trigger();

    ASSERT_TRUE(m_vm->merge().isMergeModeActive());
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(sidebar().headerTitle(), "Select other recordings");
    EXPECT_EQ(panel().sourceText(), "Planning");
    EXPECT_EQ(panel().countText(), "0 of 5 selected");
    EXPECT_FALSE(panel().mergeButton()->isEnabled());
    EXPECT_EQ(panel().mergeButtonText(), "Merge (1)");
    EXPECT_TRUE(rowState(second).isMergeSource);
    EXPECT_TRUE(rowState(first).isMergeModeActive);

    // Every entry but the file manager's is disabled now.
    for (const QString& label : {QStringLiteral("Rename"), QStringLiteral("Merge with other recordings..."),
                                 QStringLiteral("Export MP3 to Downloads"), QStringLiteral("Delete Recording")})
        EXPECT_FALSE(menuAction(first, label)->isEnabled()) << label.toStdString();
    EXPECT_TRUE(menuAction(first, "Show in File Manager")->isEnabled());

    // The source's row takes no pick; another row's click picks and unpicks it.
    clickRow(second);
    EXPECT_TRUE(m_vm->merge().mergeSelectedIDs().isEmpty());
    clickRow(third);
    EXPECT_EQ(m_vm->merge().mergeSelectedIDs(), (QSet<QUuid>{third.id}));
    EXPECT_TRUE(rowState(third).isMergeSelected);
    EXPECT_EQ(panel().countText(), "1 of 5 selected");
    EXPECT_TRUE(panel().mergeButton()->isEnabled());
    EXPECT_EQ(panel().mergeButtonText(), "Merge (2)");
    clickRow(third);
    EXPECT_TRUE(m_vm->merge().mergeSelectedIDs().isEmpty());
    // A pick is no selection.
    ASSERT_TRUE(m_vm->library().selectedRecording());
    EXPECT_EQ(m_vm->library().selectedRecording()->id, first.id);

    // No renaming by double click in merge mode.
    doubleClickRow(first);
    EXPECT_FALSE(isEditing(first));

    click(panel().cancelButton());
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(sidebar().headerTitle(), "All Recordings");
    EXPECT_FALSE(rowState(second).isMergeSource);
}

TEST_F(MergeSidebar, EachCheckBoxTogglesItsOwnRecording)
{
    QList<RecordingItem> items;
    for (int i = 0; i < 5; ++i)
        items.append(makeRecording(QStringLiteral("Take %1").arg(i), 5 * (i + 1)));
    seedLibrary(items);
    makeWindow();
    m_vm->merge().startMergeMode(items[0]);

    QSet<QUuid> expected;
    for (int i = 1; i < 5; ++i) {
        clickRow(items[i], RecordingList::Part::mergeCheckBox);
        expected.insert(items[i].id);
        EXPECT_EQ(m_vm->merge().mergeSelectedIDs(), expected) << i;
    }
    clickRow(items[2], RecordingList::Part::mergeCheckBox);
    expected.remove(items[2].id);
    EXPECT_EQ(m_vm->merge().mergeSelectedIDs(), expected);

    // The source's mark is no control: a click there is a click on its row.
    clickRow(items[0], RecordingList::Part::mergeCheckBox);
    EXPECT_EQ(m_vm->merge().mergeSelectedIDs(), expected);
}

TEST_F(MergeSidebar, EscapeLeavesMergeModeWhereverTheKeyboardIs)
{
    const auto first = makeRecording("Standup", 5);
    const auto second = makeRecording("Planning", 20);
    seedLibrary({first, second});
    makeWindow();

    // Outside merge mode Escape changes nothing.
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    EXPECT_TRUE(m_vm->library().selectedRecording().has_value());

    m_vm->merge().startMergeMode(first);
    m_vm->merge().toggleMergeSelection(second);
    ASSERT_TRUE(clickIntoSearch());
    QTest::keyClick(focused(), Qt::Key_Escape);
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());

    // After a click on a row no field holds the keyboard.
    m_vm->merge().startMergeMode(first);
    clickRow(second);
    pump(50);
    QTest::keyClick(focused() ? focused() : m_window.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
}

TEST(MergePanelWidget, WhileMergingTheButtonIsOffAndTheProgressShows)
{
    MergePanel panel;
    panel.show();
    panel.setState({QStringLiteral("Kickoff"), 2, true, QStringLiteral("Merging recording 2 of 3...")});
    EXPECT_FALSE(panel.mergeButton()->isEnabled());
    EXPECT_EQ(panel.mergeButtonText(), "Merge (3)");
    EXPECT_EQ(panel.progressText(), "Merging recording 2 of 3...");
    EXPECT_EQ(panel.sourceText(), "Kickoff");

    panel.setState({std::nullopt, 2, false, std::nullopt});
    EXPECT_TRUE(panel.mergeButton()->isEnabled());
    EXPECT_TRUE(panel.progressText().isEmpty());
    EXPECT_TRUE(panel.sourceText().isEmpty());
}

TEST_F(MergeSidebar, TheQuestionListsOldestFirstAndItsAnswerMerges)
{
    const auto source = makeRecording("Source", 5);
    const auto middle = makeRecording("Middle", 20);
    const auto oldest = makeRecording("Oldest", 40);
    for (const auto& item : {source, middle, oldest})
        ToneFiles::write(audioPath(item), {{0.3, 440}});
    seedLibrary({source, middle, oldest});
    makeWindow();
    m_vm->merge().startMergeMode(source);
    clickRow(middle);
    clickRow(oldest);

    click(panel().mergeButton());
    QMessageBox* box = sidebar().mergeConfirmation();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Merge 3 Recordings?");
    const QString message = box->informativeText();
    EXPECT_LT(message.indexOf("• Oldest ("), message.indexOf("• Middle ("));
    EXPECT_LT(message.indexOf("• Middle ("), message.indexOf("• Source ("));
    EXPECT_TRUE(message.endsWith("Original recordings will remain untouched."));

    confirmationButton("Cancel")->click();
    EXPECT_FALSE(sidebar().mergeConfirmation());
    pump(50);
    EXPECT_FALSE(m_vm->merge().isMerging());
    EXPECT_TRUE(m_vm->merge().isMergeModeActive());

    click(panel().mergeButton());
    ASSERT_TRUE(confirmationButton("Merge Recordings"));
    confirmationButton("Merge Recordings")->click();
    ASSERT_TRUE(waitFor([&] { return !m_vm->merge().isMergeModeActive(); }, 20000));
    EXPECT_EQ(rowTitles().first(), "Source (Merged)");
    EXPECT_TRUE(rowState(m_vm->library().recordings().first()).isSelected);
    EXPECT_FALSE(panel().isVisible());
}

} // namespace

TEST_F(MergeSidebar, ARunningMergeKeepsItsPanelAfterTheModeIsLeftAndItsCancelStopsIt)
{
    auto first = makeRecording("Standup", 5);
    auto second = makeRecording("Planning", 20);
    ToneFiles::write(audioPath(first), {{30, 440}});
    ToneFiles::write(audioPath(second), {{30, 660}});
    seedLibrary({first, second});
    makeWindow();

    m_vm->merge().startMergeMode(first);
    m_vm->merge().toggleMergeSelection(second);
    m_vm->merge().executeMerge();
    ASSERT_TRUE(waitFor([&] { return panel().progressText().endsWith(QLatin1Char('%')); }, 15000));
    EXPECT_TRUE(panel().progressText().startsWith(QStringLiteral("Merging recording ")));

    // Trim mode leaves merge mode; the merge and its panel stay.
    m_vm->trim().startTrimming(second);
    pump(20);
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
    EXPECT_TRUE(panel().isVisible());

    QTest::mouseClick(panel().cancelButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !m_vm->merge().isMerging(); }, 15000));
    pump(20);
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Merge cancelled"));
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(m_vm->library().recordings().size(), 2);
}
