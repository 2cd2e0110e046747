// Selection and the player, deleting, renaming, searching and exporting.

#include "ViewModelFixture.h"
#include "support/UserTrash.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/StatusLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace {

class LibraryOperations : public ViewModelFixture {
protected:
    // "First" is the newest, then "Second", "Third"...
    QList<RecordingItem> setUpLibrary(int count)
    {
        const QStringList names{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third"),
                                QStringLiteral("Fourth")};
        QList<RecordingItem> items;
        for (int i = 0; i < count; ++i)
            items.append(makeRecording(names.at(i), 10 * (i + 1)));
        seedLibrary(items);
        makeViewModel();
        return m_vm->library().recordings();
    }

    RecordingItem withEnhancedCopy(RecordingItem item)
    {
        const RecordingsStorage::FileLocation copy = m_storage->enhancedDestinationURL(item);
        writeFile(copy.url, 3000);
        item.enhancedFileName = copy.fileName;
        return item;
    }

    QString selectedTitle() const
    {
        return m_vm->library().selectedRecording() ? m_vm->library().selectedRecording()->title
                                                   : QStringLiteral("(none)");
    }
};

struct DeleteCase {
    const char* name;
    int libraryCount;
    int selectedIndex; // -1: nothing selected
    int deletedIndex;
    QString expectedSelection;
};

class SelectionAfterDelete : public LibraryOperations, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(SelectionAfterDelete, FallsToTheFirstRemainingWhenNothingIsSelected)
{
    const DeleteCase& c = GetParam();
    const QList<RecordingItem> items = setUpLibrary(c.libraryCount);
    if (c.selectedIndex < 0)
        m_vm->library().setSelectedRecording(std::nullopt); // as while a recording runs
    else
        m_vm->library().selectRecording(items.at(c.selectedIndex));
    m_player->play();

    m_vm->library().deleteRecording(items.at(c.deletedIndex));
    EXPECT_EQ(selectedTitle(), c.expectedSelection);
    if (m_vm->library().selectedRecording()) {
        EXPECT_EQ(m_player->currentLoadedURL(), audioPath(*m_vm->library().selectedRecording()));
    }
    if (c.selectedIndex == c.deletedIndex || c.selectedIndex < 0) {
        EXPECT_FALSE(m_player->isPlaying());
        EXPECT_EQ(m_player->currentTime(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionAfterDelete,
    ::testing::Values(DeleteCase{"SelectedGoesFirstRemainingFollows", 3, 0, 0, QStringLiteral("Second")},
                      DeleteCase{"SelectedInTheMiddle", 3, 1, 1, QStringLiteral("First")},
                      DeleteCase{"OtherThanTheSelected", 3, 2, 0, QStringLiteral("Third")},
                      DeleteCase{"NothingSelected", 3, -1, 1, QStringLiteral("First")},
                      DeleteCase{"LastRecording", 1, 0, 0, QStringLiteral("(none)")}),
    [](const ::testing::TestParamInfo<DeleteCase>& row) { return row.param.name; });

TEST_F(LibraryOperations, DeleteTrashesTheFilesTheLibraryKnows)
{
    const QList<RecordingItem> items = setUpLibrary(2);
    const RecordingItem stale = items.first(); // a copy held before the enhancement
    // The library learns of an enhanced copy after the view took its copy.
    m_vm->processing().enhanceRecording(stale);
    m_enhancer->writeAndFinish(0);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancingRecordingIDs().isEmpty(); }));
    const QString enhanced = m_enhancer->destinations.first();
    ASSERT_TRUE(QFileInfo::exists(enhanced));

    m_vm->library().deleteRecording(stale);
    EXPECT_FALSE(QFileInfo::exists(audioPath(stale)));
    EXPECT_FALSE(QFileInfo::exists(enhanced));
    EXPECT_FALSE(UserTrash::trashedCopyOf(audioPath(stale)).isEmpty());
    EXPECT_FALSE(UserTrash::trashedCopyOf(enhanced).isEmpty());
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Moved to Trash"));
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    ASSERT_EQ(savedLibrary().size(), 1);
    EXPECT_EQ(savedLibrary().first().id, items.at(1).id);
}

TEST_F(LibraryOperations, SelectingAlwaysReloadsWhileAssigningKeepsPlaying)
{
    const QList<RecordingItem> items = setUpLibrary(2);
    m_player->play();
    m_player->advanceTo(20);
    const qsizetype loads = m_player->loads.size();

    // The same recording assigned again (a rename does this): untouched.
    m_vm->library().setSelectedRecording(items.first());
    EXPECT_EQ(m_player->loads.size(), loads);
    EXPECT_TRUE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 20);

    // Chosen again in the sidebar: stopped at 0.
    m_vm->library().selectRecording(items.first());
    EXPECT_GT(m_player->loads.size(), loads);
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 0);
    EXPECT_FALSE(m_vm->library().isSearchFocused());
    settle();
    EXPECT_GE(m_focus->releases, 1);

    // Another recording: its file is opened once.
    const qsizetype before = m_player->loads.size();
    m_vm->library().selectRecording(items.at(1));
    EXPECT_EQ(m_player->loads.mid(before), QStringList{audioPath(items.at(1))});
}

// A selection frees the keyboard for Space, the start's too; the library's
// own changes to the selected recording never take it from a field.
TEST_F(LibraryOperations, SelectionsReleaseTheKeyboardLibraryUpdatesDoNot)
{
    const QList<RecordingItem> items = setUpLibrary(2);
    EXPECT_FALSE(m_vm->library().isSearchFocused());
    settle();
    EXPECT_EQ(m_focus->releases, 1) << "the selection made at the start";

    // The user types in the search field while a transcription and a rename
    // change the selected recording.
    m_vm->library().setIsSearchFocused(true);
    m_vm->processing().transcribeRecording(items.first());
    m_transcriber->calls.resolveLast({QStringLiteral("the words"), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().transcribingRecordingIDs().isEmpty(); }));
    m_vm->library().updateRecordingType(*m_vm->library().selectedRecording(), RecordingType::lecture);
    settle();
    EXPECT_EQ(m_vm->library().selectedRecording()->transcript, QStringLiteral("the words"));
    EXPECT_TRUE(m_vm->library().isSearchFocused());
    EXPECT_EQ(m_focus->releases, 1);

    const struct {
        const char* name;
        std::function<void()> select;
    } selections[] = {
        {"chosen in the list", [&] { m_vm->library().selectRecording(items.at(1)); }},
        {"moved to with the keys", [&] { m_vm->library().setSelectedRecording(items.first()); }},
    };
    for (const auto& selection : selections) {
        SCOPED_TRACE(selection.name);
        m_vm->library().setIsSearchFocused(true);
        const int before = m_focus->releases;
        selection.select();
        EXPECT_FALSE(m_vm->library().isSearchFocused());
        settle();
        EXPECT_EQ(m_focus->releases, before + 1);
    }
}

TEST_F(LibraryOperations, EnhancedPlaybackWithoutACopyKeepsTheOwnFileUntilTheNextSelection)
{
    const QList<RecordingItem> items = setUpLibrary(2);
    m_player->play();
    m_player->advanceTo(30);
    m_vm->library().setPlayingEnhanced(true);
    EXPECT_TRUE(m_vm->library().isPlayingEnhanced());
    EXPECT_EQ(m_player->currentLoadedURL(), audioPath(items.first()));
    EXPECT_EQ(m_player->currentTime(), 30);
    EXPECT_TRUE(m_player->isPlaying());

    m_vm->library().selectRecording(items.at(1));
    EXPECT_FALSE(m_vm->library().isPlayingEnhanced());
}

TEST_F(LibraryOperations, SwitchingToAShorterCopyClampsThePosition)
{
    const QList<RecordingItem> items = setUpLibrary(1);
    m_vm.reset();
    seedLibrary({withEnhancedCopy(items.first())});
    makeViewModel();
    const RecordingItem item = m_vm->library().recordings().first();
    ASSERT_TRUE(item.enhancedFileName);
    const QString copy = m_storage->enhancedFileURL(item).value();
    m_player->durations.insert(copy, 90);
    m_player->durations.insert(audioPath(item), 100);
    m_vm->library().selectRecording(item);

    m_player->play();
    m_player->advanceTo(95);
    m_vm->library().setPlayingEnhanced(true);
    EXPECT_EQ(m_player->currentLoadedURL(), copy);
    EXPECT_EQ(m_player->currentTime(), 90);

    m_player->pause();
    m_vm->library().setPlayingEnhanced(false);
    EXPECT_EQ(m_player->currentLoadedURL(), audioPath(item));
    EXPECT_EQ(m_player->currentTime(), 90);
    EXPECT_FALSE(m_player->isPlaying());
}

TEST_F(LibraryOperations, RenameTrimsAndKeepsTheFileName)
{
    const QList<RecordingItem> items = setUpLibrary(2);
    m_vm->library().renameRecording(items.first(), QStringLiteral("  Quarterly review\n"));
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Quarterly review"));
    EXPECT_EQ(m_vm->library().recordings().first().fileName, items.first().fileName);
    EXPECT_EQ(m_vm->library().selectedRecording()->title, QStringLiteral("Quarterly review"));
    EXPECT_EQ(savedLibrary().first().title, QStringLiteral("Quarterly review"));

    m_vm->library().renameRecording(items.at(1), QStringLiteral(" \t "));
    EXPECT_EQ(m_vm->library().recordings().at(1).title, QString());

    RecordingItem gone = items.first();
    gone.id = QUuid::createUuid();
    m_vm->library().renameRecording(gone, QStringLiteral("Ghost"));
    EXPECT_EQ(m_vm->library().recordings().size(), 2);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Quarterly review"));
}

struct SearchCase {
    const char* name;
    QString query;
    QStringList expectedTitles;
};

class Search : public LibraryOperations, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(Search, TitleTranscriptAndSegmentsButNotTheRecap)
{
    RecordingItem budget = makeRecording(QStringLiteral("Budget Planning"), 10);
    RecordingItem standup = makeRecording(QStringLiteral("Standup"), 20);
    standup.transcript = QStringLiteral("we talked about the roadmap");
    RecordingItem interview = makeRecording(QStringLiteral("Interview"), 30);
    TranscriptSegment segment;
    segment.id = QUuid::createUuid();
    segment.text = QStringLiteral("Salary expectations");
    interview.transcriptSegments = QList<TranscriptSegment>{segment};
    RecordingItem lecture = makeRecording(QStringLiteral("Lecture"), 40);
    lecture.summary = QStringLiteral("A recap about entropy");
    seedLibrary({budget, standup, interview, lecture});
    makeViewModel();

    int changes = 0;
    QObject::connect(&m_vm->library(), &LibraryViewModel::filteredRecordingsChanged, [&] { ++changes; });
    m_vm->library().setSearchText(GetParam().query);
    EXPECT_EQ(changes, GetParam().query.isEmpty() ? 0 : 1);
    QStringList titles;
    for (const RecordingItem& item : m_vm->library().filteredRecordings())
        titles.append(item.title);
    EXPECT_EQ(titles, GetParam().expectedTitles);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, Search,
    ::testing::Values(
        SearchCase{"Empty", QString(),
                   {QStringLiteral("Budget Planning"), QStringLiteral("Standup"), QStringLiteral("Interview"),
                    QStringLiteral("Lecture")}},
        SearchCase{"BlanksOnly", QStringLiteral("   "),
                   {QStringLiteral("Budget Planning"), QStringLiteral("Standup"), QStringLiteral("Interview"),
                    QStringLiteral("Lecture")}},
        SearchCase{"TitleInOtherCaseWithBlanks", QStringLiteral("  bUdGeT "), {QStringLiteral("Budget Planning")}},
        SearchCase{"Transcript", QStringLiteral("ROADMAP"), {QStringLiteral("Standup")}},
        SearchCase{"SegmentText", QStringLiteral("salary"), {QStringLiteral("Interview")}},
        SearchCase{"RecapIsNotSearched", QStringLiteral("entropy"), {}},
        SearchCase{"FileNameIsNotSearched", QStringLiteral("1699"), {}}),
    [](const ::testing::TestParamInfo<SearchCase>& row) { return row.param.name; });

struct ExportCase {
    const char* name;
    bool selected;
    bool playingEnhanced;
    bool hasCopy;
    QString expectedFile;
};

class ExportChoice : public LibraryOperations, public ::testing::WithParamInterface<ExportCase> {
protected:
    void SetUp() override
    {
        LibraryOperations::SetUp();
        // The reveal may fall back to opening the folder; nothing real is opened.
        QFile script(m_dir.filePath(QStringLiteral("bin/xdg-open")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("bin")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexit 0\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_path = qgetenv("PATH");
        qputenv("PATH", m_dir.filePath(QStringLiteral("bin")).toLocal8Bit() + ':' + m_path);
    }
    void TearDown() override
    {
        LibraryOperations::TearDown();
        qputenv("PATH", m_path);
    }

    QByteArray m_path;
};

TEST_P(ExportChoice, WhatTheUserListensToForTheSelectionElseTheCopy)
{
    const ExportCase& c = GetParam();
    RecordingItem other = makeRecording(QStringLiteral("Other"), 60);
    RecordingItem item = makeRecording(QStringLiteral("Review"), 30);
    if (c.hasCopy)
        item = withEnhancedCopy(item);
    seedLibrary({item, other});
    makeViewModel();
    const RecordingItem loaded = m_vm->library().recordings().first();
    if (c.selected)
        m_vm->library().selectRecording(loaded);
    else
        m_vm->library().selectRecording(m_vm->library().recordings().at(1));
    if (c.playingEnhanced)
        m_vm->library().setPlayingEnhanced(true);

    m_vm->library().exportToDownloads(loaded);
    EXPECT_EQ(m_vm->status().exportMessage(),
              QStringLiteral("Exported '") + c.expectedFile + QStringLiteral("' to Downloads!"));
    EXPECT_TRUE(QFileInfo::exists(m_dir.filePath(QStringLiteral("Downloads/")) + c.expectedFile));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportChoice,
    ::testing::Values(ExportCase{"SelectedPlayingCopy", true, true, true, QStringLiteral("Review (Enhanced).mp3")},
                      ExportCase{"SelectedPlayingOwnFile", true, false, true, QStringLiteral("Review.mp3")},
                      ExportCase{"SelectedCopyMissing", true, true, false, QStringLiteral("Review.mp3")},
                      ExportCase{"NotSelectedWithCopy", false, false, true, QStringLiteral("Review (Enhanced).mp3")},
                      ExportCase{"NotSelectedWithoutCopy", false, false, false, QStringLiteral("Review.mp3")}),
    [](const ::testing::TestParamInfo<ExportCase>& row) { return row.param.name; });

TEST_F(LibraryOperations, ExportOfAMissingFileIsReported)
{
    const QList<RecordingItem> items = setUpLibrary(2);
    QFile::remove(audioPath(items.at(1)));
    m_vm->library().exportToDownloads(items.at(1));
    EXPECT_EQ(m_vm->status().exportMessage(),
              QStringLiteral("Export failed: Source file not found at ") + audioPath(items.at(1)) + QLatin1Char('.'));
}

} // namespace
