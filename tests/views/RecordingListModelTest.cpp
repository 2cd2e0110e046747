#include "views/logic/RecordingListModel.h"

#include "support/QtPrinters.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

RecordingItem recording(const QString& title, const std::optional<QString>& transcript = std::nullopt)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = title + QStringLiteral(".mp3");
    item.duration = 65;
    item.transcript = transcript;
    return item;
}

QList<RecordingItem> library(int count)
{
    QList<RecordingItem> items;
    for (int i = 0; i < count; ++i)
        items.append(recording(QStringLiteral("Recording %1").arg(i)));
    return items;
}

QStringList titles(const RecordingListModel& model)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.data(model.index(row)).toString();
    return shown;
}

QList<RecordingItem> pick(const QList<RecordingItem>& items, const QList<int>& positions)
{
    QList<RecordingItem> picked;
    for (int position : positions)
        picked.append(items[position]);
    return picked;
}

// The model under Qt's own checker, with a count of every kind of change it announced.
class ListModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_tester = std::make_unique<QAbstractItemModelTester>(&m_model,
                                                              QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    struct Changes {
        int inserts = 0;
        int removes = 0;
        int resets = 0;
        QList<int> changedRows;
    };

    Changes apply(const QList<RecordingItem>& next)
    {
        QSignalSpy inserted(&m_model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&m_model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(&m_model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);
        m_model.setRecordings(next);
        Changes changes{static_cast<int>(inserted.count()), static_cast<int>(removed.count()),
                        static_cast<int>(reset.count()), {}};
        for (const auto& signal : changed) {
            for (int row = signal[0].toModelIndex().row(); row <= signal[1].toModelIndex().row(); ++row)
                changes.changedRows << row;
        }
        return changes;
    }

    // The rows that the changes caught so far named, in order; forgets them.
    static QList<int> takeChangedRows(QSignalSpy& changed)
    {
        QList<int> rows;
        for (const auto& signal : changed) {
            for (int row = signal[0].toModelIndex().row(); row <= signal[1].toModelIndex().row(); ++row)
                rows << row;
        }
        changed.clear();
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    RecordingListModel m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

} // namespace

// Each new list comes out in its order; rows that stay are never rebuilt, so
// a few rows in or out are told as such, and only a list thinned in many
// places at once (a search) is told as a reset.
TEST_F(ListModel, FollowsInsertRemoveAndSearch)
{
    const QList<RecordingItem> items = library(400);
    struct Step {
        const char* name;
        QList<int> positions;
        int inserts;
        int removes;
        int resets;
    };
    QList<int> all;
    for (int i = 0; i < 400; ++i)
        all << i;
    QList<int> everyThird;
    for (int i = 0; i < 400; i += 3)
        everyThird << i;
    QList<int> firstTwenty = all.mid(0, 20);
    const Step steps[] = {
        {"first load", all.mid(1), 1, 0, 0},
        {"a new recording on top", all, 1, 0, 0},
        {"one deleted in the middle", QList<int>(all.mid(0, 200)) + all.mid(201), 0, 1, 0},
        {"a search keeping the first twenty", firstTwenty, 0, 1, 0},
        {"the search cleared", all, 1, 0, 0},
        {"a search keeping every third", everyThird, 0, 0, 1},
        {"a narrower search", everyThird.mid(0, 10), 0, 1, 0},
        {"nothing matches", {}, 0, 1, 0},
        {"back to the library", all, 1, 0, 0},
    };
    for (const Step& step : steps) {
        const QList<RecordingItem> next = pick(items, step.positions);
        const Changes changes = apply(next);
        QStringList expected;
        for (const RecordingItem& item : next)
            expected << item.title;
        EXPECT_EQ(titles(m_model), expected) << step.name;
        EXPECT_EQ(changes.inserts, step.inserts) << step.name;
        EXPECT_EQ(changes.removes, step.removes) << step.name;
        EXPECT_EQ(changes.resets, step.resets) << step.name;
        for (int row = 0; row < next.size(); ++row)
            ASSERT_EQ(m_model.rowOf(next[row].id), row) << step.name;
    }
}

TEST_F(ListModel, ARenameChangesOnlyItsRowAndKeepsTheRowBeingEdited)
{
    QList<RecordingItem> items = library(50);
    apply(items);
    m_model.setEditingId(items[30].id);
    const QPersistentModelIndex edited = m_model.index(30);

    items[30].title = QStringLiteral("Renamed");
    Changes changes = apply(items);
    EXPECT_EQ(changes.changedRows, (QList<int>{30}));
    EXPECT_EQ(changes.inserts + changes.removes + changes.resets, 0);
    EXPECT_EQ(m_model.data(m_model.index(30)).toString(), "Renamed");

    // A new recording on top and the recording in progress above it move the row; its index follows.
    apply(QList<RecordingItem>{recording(QStringLiteral("Newest"))} + items);
    m_model.setActiveRow(RecordingListModel::ActiveRow{QStringLiteral("New Recording 3"), 4.2, false, false});
    EXPECT_EQ(edited.row(), 32);
    EXPECT_TRUE(m_model.state(32).isEditing);
    EXPECT_EQ(m_model.data(m_model.index(0)).toString(), "New Recording 3");
    EXPECT_EQ(m_model.data(m_model.index(0), RecordingListModel::DetailRole).toString(), "00:04");
    EXPECT_EQ(m_model.idAt(0), std::nullopt);

    // Unchanged copies of the library change nothing.
    changes = apply(QList<RecordingItem>{m_model.recording(1)} + items);
    EXPECT_TRUE(changes.changedRows.isEmpty());

    m_model.setActiveRow(std::nullopt);
    EXPECT_EQ(edited.row(), 31);
    EXPECT_EQ(m_model.rowOf(items[30].id), 31);
}

TEST_F(ListModel, FlagsTouchOnlyTheRowsTheyConcern)
{
    const QList<RecordingItem> items = library(20);
    apply(items);
    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);
    const auto changedRows = [&] { return takeChangedRows(changed); };

    m_model.setSelectedId(items[3].id);
    EXPECT_EQ(changedRows(), (QList<int>{3}));
    m_model.setSelectedId(items[7].id);
    EXPECT_EQ(changedRows(), (QList<int>{3, 7}));
    EXPECT_TRUE(m_model.state(7).isSelected);
    EXPECT_FALSE(m_model.state(3).isSelected);

    m_model.setTranscribingIds({items[1].id, items[2].id});
    EXPECT_EQ(changedRows(), (QList<int>{1, 2}));
    m_model.setTranscribingIds({items[2].id, items[5].id});
    EXPECT_EQ(changedRows(), (QList<int>{1, 5}));
    EXPECT_TRUE(m_model.listsBusyRecordings());
    m_model.setTranscribingIds({QUuid::createUuid()});
    changedRows();
    EXPECT_FALSE(m_model.listsBusyRecordings());

    m_model.setEnhancingIds({items[9].id});
    EXPECT_EQ(changedRows(), (QList<int>{9}));
    EXPECT_TRUE(m_model.state(9).isEnhancing);
}

// The elapsed time ticks ten times a second; the row is drawn again only
// when its text changes, once a second, or when the pause changes.
TEST_F(ListModel, TheRowInProgressChangesWhenItsTextDoes)
{
    apply(library(3));
    m_model.setActiveRow(RecordingListModel::ActiveRow{QStringLiteral("New Recording 1"), 4.0, false, false});
    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);
    const struct {
        double duration;
        bool isPaused;
        QList<int> roles;
    } steps[] = {
        {4.1, false, {}},
        {4.9, false, {}},
        {5.0, false, {RecordingListModel::DetailRole}},
        {5.3, true, {RecordingListModel::PausedRole}},
        {65.0, true, {RecordingListModel::DetailRole}},
    };
    for (const auto& step : steps) {
        m_model.setActiveRow(RecordingListModel::ActiveRow{QStringLiteral("New Recording 1"), step.duration,
                                                           step.isPaused, false});
        const QList<int> roles = changed.isEmpty() ? QList<int>{} : changed.takeFirst().at(2).value<QList<int>>();
        EXPECT_EQ(roles, step.roles) << step.duration;
        EXPECT_TRUE(changed.isEmpty());
        // What is drawn next is the newest time, whether or not it was announced.
        EXPECT_EQ(m_model.activeRow()->duration, step.duration);
    }
}

TEST_F(ListModel, MergeModeFlagsEveryRowOnceThenOnlyThePicks)
{
    const QList<RecordingItem> items = library(6);
    apply(items);
    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);
    const auto changedRows = [&] { return takeChangedRows(changed); };

    m_model.setMergeState(true, items[2].id, {});
    EXPECT_EQ(changedRows(), (QList<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(m_model.state(2).isMergeSource);
    EXPECT_TRUE(m_model.state(4).isMergeModeActive);
    EXPECT_EQ(m_model.data(m_model.index(2), RecordingListModel::MergeRole).toString(), QStringLiteral("source"));

    m_model.setMergeState(true, items[2].id, {items[4].id});
    EXPECT_EQ(changedRows(), (QList<int>{2, 4}));
    EXPECT_TRUE(m_model.state(4).isMergeSelected);
    EXPECT_EQ(m_model.data(m_model.index(4), RecordingListModel::MergeRole).toString(), QStringLiteral("picked"));
    EXPECT_EQ(m_model.data(m_model.index(5), RecordingListModel::MergeRole).toString(), QStringLiteral("unpicked"));

    m_model.setMergeState(false, std::nullopt, {});
    EXPECT_EQ(changedRows(), (QList<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(m_model.state(4).isMergeSelected);
    EXPECT_FALSE(m_model.state(2).isMergeSource);
    EXPECT_FALSE(m_model.data(m_model.index(2), RecordingListModel::MergeRole).isValid());
}

TEST_F(ListModel, QuotationFollowsTheSearchAndTheTranscript)
{
    QList<RecordingItem> items{recording(QStringLiteral("Budget"), QStringLiteral("We went over the budget today.")),
                               recording(QStringLiteral("Standup")), recording(QStringLiteral("Budget notes"))};
    apply(items);
    EXPECT_FALSE(m_model.hasQuote(0));

    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);
    m_model.setSearchText(QStringLiteral("  BUDGET "));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][2].value<QList<int>>(), (QList<int>{RecordingListModel::QuoteRole}));
    EXPECT_TRUE(m_model.hasQuote(0));
    EXPECT_EQ(m_model.quote(0), "We went over the budget today.");
    // A title match without a transcript, or without the word in it, quotes nothing.
    EXPECT_FALSE(m_model.hasQuote(2));
    EXPECT_EQ(m_model.data(m_model.index(2), RecordingListModel::QuoteRole), QVariant());

    items[2].transcript = QStringLiteral("The budget for next year.");
    changed.clear();
    apply(items);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_TRUE(changed[0][2].value<QList<int>>().contains(RecordingListModel::QuoteRole));
    EXPECT_EQ(m_model.quote(2), "The budget for next year.");

    m_model.setSearchText(QStringLiteral("   "));
    EXPECT_FALSE(m_model.hasQuote(0));
}

// A list that reorders what stays (not something the library does, but a
// caller might) is still shown in its own order.
TEST_F(ListModel, AReorderedListIsShownInItsOrder)
{
    const QList<RecordingItem> items = library(5);
    apply(items);
    const Changes changes = apply(pick(items, {4, 3, 2, 1, 0}));
    EXPECT_EQ(titles(m_model), (QStringList{"Recording 4", "Recording 3", "Recording 2", "Recording 1", "Recording 0"}));
    EXPECT_EQ(changes.resets, 1);
}
