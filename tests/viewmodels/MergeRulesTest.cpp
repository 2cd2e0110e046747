// The merged recording's title and the order its parts are joined in, and how
// an edited file is put into the library folder.

#include "models/RecordingsStorage.h"
#include "support/TestFiles.h"
#include "viewmodels/LibraryFiling.h"
#include "viewmodels/MergeRules.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

RecordingItem titled(const QString& title, double createdAt = 0)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.createdAt = Date::fromReferenceSeconds(createdAt);
    return item;
}

struct TitleCase {
    const char* name;
    QStringList library;
    QString expected;
};

class MergedTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(MergedTitle, SkipsTitlesTakenInAnyLetterCase)
{
    const TitleCase& c = GetParam();
    QList<RecordingItem> library;
    for (const QString& title : c.library)
        library.append(titled(title));
    EXPECT_EQ(MergeRules::mergedTitle(QStringLiteral("Standup"), library), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergedTitle,
    ::testing::Values(TitleCase{"EmptyLibrary", {}, QStringLiteral("Standup (Merged)")},
                      TitleCase{"Free", {QStringLiteral("Standup")}, QStringLiteral("Standup (Merged)")},
                      TitleCase{"TakenInOtherCase",
                                {QStringLiteral("Standup"), QStringLiteral("STANDUP (merged)")},
                                QStringLiteral("Standup (Merged 2)")},
                      TitleCase{"SecondTakenToo",
                                {QStringLiteral("standup (Merged)"), QStringLiteral("Standup (MERGED 2)")},
                                QStringLiteral("Standup (Merged 3)")},
                      TitleCase{"OnlyTheSecondTaken", {QStringLiteral("Standup (Merged 2)")},
                                QStringLiteral("Standup (Merged)")}),
    [](const auto& row) { return row.param.name; });

TEST(JoinedOrder, OldestFirstWithTheSourceAheadOfEqualDates)
{
    const RecordingItem source = titled(QStringLiteral("Source"), 100);
    const RecordingItem older = titled(QStringLiteral("Older"), 50);
    const RecordingItem sameA = titled(QStringLiteral("Same A"), 100);
    const RecordingItem newer = titled(QStringLiteral("Newer"), 200);
    const RecordingItem sameB = titled(QStringLiteral("Same B"), 100);

    QStringList titles;
    for (const RecordingItem& item : MergeRules::joinedOrder(source, {newer, sameA, older, sameB}))
        titles.append(item.title);
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Older"), QStringLiteral("Source"), QStringLiteral("Same A"),
                                   QStringLiteral("Same B"), QStringLiteral("Newer")}));
}

TEST(LibraryFiling, NeverReplacesAFileThatTookTheName)
{
    QTemporaryDir dir;
    RecordingsStorage storage(dir.filePath(QStringLiteral("support")), dir.filePath(QStringLiteral("Downloads")));
    const QString name = storage.newRecordingFileName(QStringLiteral("Talk"));
    const QDir folder(storage.storageDirectory());
    TestFiles::writeFile(folder.filePath(name), "someone else's");
    const QString made = storage.newTempRecordingFileURL();
    TestFiles::writeFile(made, "merged audio");

    const LibraryFiling::Filed filed = LibraryFiling::moveIntoLibrary(storage, made, QStringLiteral("Talk"), name);

    ASSERT_TRUE(filed.succeeded()) << filed.error.toStdString();
    EXPECT_NE(filed.fileName, name);
    EXPECT_EQ(TestFiles::readFile(folder.filePath(name)), QByteArray("someone else's"));
    EXPECT_EQ(TestFiles::readFile(folder.filePath(filed.fileName)), QByteArray("merged audio"));
    EXPECT_FALSE(QFile::exists(made));
}

TEST(LibraryFiling, AMissingFileIsAFailureWithItsReason)
{
    QTemporaryDir dir;
    RecordingsStorage storage(dir.filePath(QStringLiteral("support")), dir.filePath(QStringLiteral("Downloads")));
    const LibraryFiling::Filed filed = LibraryFiling::moveIntoLibrary(
        storage, dir.filePath(QStringLiteral("gone.tmp")), QStringLiteral("Talk"), QStringLiteral("Talk.mp3"));
    EXPECT_FALSE(filed.succeeded());
    EXPECT_FALSE(filed.error.isEmpty());
}

} // namespace
