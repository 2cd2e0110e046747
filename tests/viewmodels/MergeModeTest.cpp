// Merge mode over generated MP3s, joined by the real merger.

#include "ViewModelFixture.h"

#include "audio/ToneFiles.h"
#include "support/StdoutCapture.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/TrimSession.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

class MergeMode : public ViewModelFixture {
protected:
    // A recording whose file is `seconds` of a tone at `hz`.
    RecordingItem toneRecording(const QString& title, int minutesAgo, double hz, double seconds = 0.5)
    {
        RecordingItem item = makeRecording(title, minutesAgo);
        ToneFiles::write(audioPath(item), {{seconds, hz}});
        return item;
    }

    // Everything in the library folder, hidden files included.
    QStringList folderEntries() const
    {
        QStringList entries = QDir(m_storage->storageDirectory())
                                  .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        return entries;
    }

    void pick(const QList<RecordingItem>& items)
    {
        for (const RecordingItem& item : items)
            m_vm->merge().toggleMergeSelection(item);
    }

    bool waitForMergeEnd() { return waitFor([&] { return !m_vm->merge().isMerging(); }, 20000); }

    QString message() const { return m_vm->status().exportMessage().value_or(QString()); }
};

TEST_F(MergeMode, JoinsOldestFirstIntoANewSelectedRecordingThatIsTranscribed)
{
    // The source is the newest: its audio comes last, its title names the result.
    const RecordingItem source = toneRecording(QStringLiteral("Source"), 1, 880);
    RecordingItem middle = toneRecording(QStringLiteral("Middle"), 10, 440);
    const RecordingItem oldest = toneRecording(QStringLiteral("Oldest"), 20, 660);
    const RecordingItem earlierMerge = makeRecording(QStringLiteral("SOURCE (MERGED)"), 30);
    // Its enhanced copy is never what is joined.
    const RecordingsStorage::FileLocation enhanced = m_storage->enhancedDestinationURL(middle);
    ToneFiles::write(enhanced.url, {{0.5, 220}});
    middle.enhancedFileName = enhanced.fileName;
    seedLibrary({source, middle, oldest, earlierMerge});
    makeViewModel();
    m_vm->library().selectRecording(source);
    m_player->play();
    ASSERT_TRUE(m_player->isPlaying());

    m_vm->merge().startMergeMode(source);
    pick({oldest, middle});
    m_vm->merge().executeMerge();

    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_TRUE(m_vm->merge().isMerging());
    ASSERT_TRUE(waitForMergeEnd());

    EXPECT_EQ(message(), QStringLiteral("Merged 3 recordings successfully!"));
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
    EXPECT_TRUE(m_vm->merge().mergeSelectedIDs().isEmpty());
    EXPECT_FALSE(m_vm->merge().mergeProgressText().has_value());
    ASSERT_EQ(m_vm->library().recordings().size(), 5);
    const RecordingItem merged = m_vm->library().recordings().first();
    EXPECT_EQ(merged.title, QStringLiteral("Source (Merged 2)"));
    ASSERT_TRUE(m_vm->library().selectedRecording().has_value());
    EXPECT_EQ(m_vm->library().selectedRecording()->id, merged.id);
    EXPECT_FALSE(merged.transcript.has_value());
    EXPECT_FALSE(merged.recordingType.has_value());
    // Bars of the merged audio itself, not the placeholder's flat 0.1.
    ASSERT_EQ(merged.waveformSamples.size(), 120);
    EXPECT_GT(*std::max_element(merged.waveformSamples.begin(), merged.waveformSamples.end()), 0.5f);
    // Each encoded part carries its encoder's delay and last partial frame.
    EXPECT_NEAR(merged.duration, 1.5, 0.1);
    const QString mergedPath = audioPath(merged);
    EXPECT_EQ(merged.fileSizeBytes, QFileInfo(mergedPath).size());
    EXPECT_EQ(m_transcriber->paths, QStringList{mergedPath});
    for (const RecordingItem& item : {source, middle, oldest})
        EXPECT_TRUE(QFile::exists(audioPath(item))) << item.title.toStdString();

    const ToneFiles::Decoded audio = ToneFiles::decode(mergedPath);
    const auto hzAt = [&](double start) {
        return ToneFiles::frequencyAt(audio.samples, audio.channels, audio.sampleRate, start, 0.3);
    };
    EXPECT_NEAR(hzAt(0.1), 660, 15);
    EXPECT_NEAR(hzAt(0.6), 440, 15);
    EXPECT_NEAR(hzAt(1.1), 880, 15);

    const QList<RecordingItem> saved = savedLibrary();
    ASSERT_EQ(saved.size(), 5);
    EXPECT_EQ(saved.first().id, merged.id);
}

TEST_F(MergeMode, ProgressLinesComeFromTheMerger)
{
    const RecordingItem source = toneRecording(QStringLiteral("Source"), 1, 440);
    const RecordingItem other = toneRecording(QStringLiteral("Other"), 5, 660);
    seedLibrary({source, other});
    makeViewModel();
    QStringList lines;
    QObject::connect(&m_vm->merge(), &MergeSession::mergeProgressTextChanged, [&] {
        if (m_vm->merge().mergeProgressText())
            lines.append(*m_vm->merge().mergeProgressText());
    });

    m_vm->merge().startMergeMode(source);
    pick({other});
    m_vm->merge().executeMerge();
    ASSERT_TRUE(waitForMergeEnd());

    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("Preparing merge..."));
    // Which recording, and the figure of the whole merge.
    EXPECT_TRUE(lines.contains(QStringLiteral("Merging recording 1 of 2... 0%")));
    const auto second = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith(QStringLiteral("Merging recording 2 of 2... "));
    });
    ASSERT_NE(second, lines.end());
    EXPECT_TRUE(second->endsWith(QLatin1Char('%')));
}

TEST_F(MergeMode, CancelStopsTheMergeWhichLeavesNoFileAndNoRecord)
{
    const RecordingItem source = toneRecording(QStringLiteral("Source"), 1, 440, 30);
    const RecordingItem other = toneRecording(QStringLiteral("Other"), 5, 660, 30);
    seedLibrary({source, other});
    makeViewModel();
    const QStringList before = folderEntries();

    m_vm->merge().startMergeMode(source);
    pick({other});
    m_vm->merge().executeMerge();
    // Cancelled once the merger has shown it is under way.
    ASSERT_TRUE(waitFor(
        [&] { return m_vm->merge().mergeProgressText().value_or(QString()).endsWith(QLatin1Char('%')); }, 15000));
    m_vm->merge().cancelMergeMode();
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
    // Still merging until the merger has stopped and cleaned up.
    EXPECT_TRUE(m_vm->merge().isMerging());
    ASSERT_TRUE(waitForMergeEnd());
    settle();

    EXPECT_EQ(message(), QStringLiteral("Merge cancelled"));
    EXPECT_FALSE(m_vm->merge().mergeProgressText());
    EXPECT_EQ(m_vm->library().recordings().size(), 2);
    EXPECT_EQ(folderEntries(), before);
}

TEST_F(MergeMode, LeavingTheModeKeepsTheMergeAndRefusesAnotherUntilItEnds)
{
    const RecordingItem source = toneRecording(QStringLiteral("Source"), 1, 440, 10);
    const RecordingItem other = toneRecording(QStringLiteral("Other"), 5, 660, 10);
    seedLibrary({source, other});
    makeViewModel();

    m_vm->merge().startMergeMode(source);
    pick({other});
    m_vm->merge().executeMerge();
    // Trim mode leaves merge mode; the merge goes on.
    m_vm->trim().startTrimming(other);
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
    EXPECT_TRUE(m_vm->merge().isMerging());
    m_vm->trim().cancelTrimming();
    m_vm->merge().startMergeMode(source);
    pick({other});
    m_vm->merge().executeMerge();

    ASSERT_TRUE(waitForMergeEnd());
    waitFor([] { return false; }, 500);
    ASSERT_EQ(m_vm->library().recordings().size(), 3);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Source (Merged)"));
    EXPECT_EQ(folderEntries().size(), 3);
}

struct FailureCase {
    const char* name;
    // What happens to the picked recording's file before the merge.
    std::function<void(const QString& path)> spoil;
    QString reasonPart;
};

class MergeFailure : public MergeMode, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MergeFailure, LeavesNoNewFileAndKeepsThePicks)
{
    const FailureCase& c = GetParam();
    const RecordingItem source = toneRecording(QStringLiteral("Source"), 1, 440);
    const RecordingItem good = toneRecording(QStringLiteral("Good"), 5, 660);
    const RecordingItem bad = toneRecording(QStringLiteral("Bad"), 10, 880);
    seedLibrary({source, good, bad});
    makeViewModel();
    c.spoil(audioPath(bad));
    const QStringList before = folderEntries();
    StdoutCapture output;

    m_vm->merge().startMergeMode(source);
    pick({good, bad});
    m_vm->merge().executeMerge();
    ASSERT_TRUE(waitForMergeEnd());

    EXPECT_TRUE(message().startsWith(QStringLiteral("Merge failed: "))) << message().toStdString();
    EXPECT_TRUE(message().contains(c.reasonPart)) << message().toStdString();
    EXPECT_TRUE(output.waitFor(QStringLiteral("Merge failed: ")));
    EXPECT_EQ(folderEntries(), before);
    EXPECT_EQ(m_vm->library().recordings().size(), 3);
    EXPECT_TRUE(m_vm->merge().isMergeModeActive());
    ASSERT_TRUE(m_vm->merge().mergeSourceRecording().has_value());
    EXPECT_EQ(m_vm->merge().mergeSourceRecording()->id, source.id);
    EXPECT_EQ(m_vm->merge().mergeSelectedIDs(), (QSet<QUuid>{good.id, bad.id}));
    EXPECT_FALSE(m_vm->merge().mergeProgressText().has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeFailure,
    ::testing::Values(FailureCase{"MissingFile", [](const QString& path) { QFile::remove(path); },
                                  QStringLiteral("File not found")},
                      // Found only once the merged file is being written.
                      FailureCase{"NotAudio",
                                  [](const QString& path) {
                                      QFile::remove(path);
                                      QFile file(path);
                                      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                                      file.write(QByteArray(8192, 'a'));
                                  },
                                  QStringLiteral("Bad")}),
    [](const auto& row) { return row.param.name; });

TEST_F(MergeMode, ASecondConfirmationWhileMergingDoesNothing)
{
    const RecordingItem source = toneRecording(QStringLiteral("Source"), 1, 440);
    const RecordingItem other = toneRecording(QStringLiteral("Other"), 5, 660);
    seedLibrary({source, other});
    makeViewModel();

    m_vm->merge().startMergeMode(source);
    pick({other});
    m_vm->merge().executeMerge();
    m_vm->merge().executeMerge();
    ASSERT_TRUE(waitForMergeEnd());
    // Time for a second merge to show up, were one running.
    waitFor([] { return false; }, 500);

    ASSERT_EQ(m_vm->library().recordings().size(), 3);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Source (Merged)"));
    EXPECT_EQ(folderEntries().size(), 3);
}

TEST_F(MergeMode, PicksUpToFiveOtherRecordingsButNeverTheSource)
{
    QList<RecordingItem> items;
    for (int i = 0; i < 7; ++i)
        items.append(makeRecording(QStringLiteral("Take %1").arg(i), i + 1));
    seedLibrary(items);
    makeViewModel();
    const RecordingItem& source = items[0];

    m_vm->merge().toggleMergeSelection(items[1]);
    EXPECT_TRUE(m_vm->merge().mergeSelectedIDs().isEmpty()) << "picked outside merge mode";

    m_vm->merge().startMergeMode(source);
    EXPECT_TRUE(m_vm->merge().isMergeModeActive());
    m_vm->merge().toggleMergeSelection(source);
    EXPECT_TRUE(m_vm->merge().mergeSelectedIDs().isEmpty());
    for (int i = 1; i <= 5; ++i)
        m_vm->merge().toggleMergeSelection(items[i]);
    EXPECT_EQ(m_vm->merge().mergeSelectedIDs().size(), 5);

    m_vm->merge().toggleMergeSelection(items[6]);
    EXPECT_EQ(m_vm->merge().mergeSelectedIDs().size(), 5);
    EXPECT_FALSE(m_vm->merge().mergeSelectedIDs().contains(items[6].id));
    EXPECT_EQ(message(), QStringLiteral("Maximum 5 other recordings can be selected."));

    m_vm->merge().toggleMergeSelection(items[3]);
    EXPECT_EQ(m_vm->merge().mergeSelectedIDs().size(), 4);
    EXPECT_FALSE(m_vm->merge().mergeSelectedIDs().contains(items[3].id));

    // Starting again from another recording forgets the picks.
    m_vm->merge().startMergeMode(items[1]);
    EXPECT_EQ(m_vm->merge().mergeSourceRecording()->id, items[1].id);
    EXPECT_TRUE(m_vm->merge().mergeSelectedIDs().isEmpty());

    m_vm->merge().cancelMergeMode();
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
    EXPECT_FALSE(m_vm->merge().mergeSourceRecording().has_value());
}

TEST_F(MergeMode, StartsOnlyWhileIdleAndEndsWhenARecordingStarts)
{
    const RecordingItem source = makeRecording(QStringLiteral("Source"), 1);
    seedLibrary({source});
    makeViewModel();

    m_vm->merge().startMergeMode(source);
    startRecording();
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());

    m_vm->merge().startMergeMode(source);
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
}

TEST_F(MergeMode, ConfirmingWithoutAPickStillInTheLibraryAsksForOne)
{
    const RecordingItem source = makeRecording(QStringLiteral("Source"), 1);
    const RecordingItem other = makeRecording(QStringLiteral("Other"), 2);
    seedLibrary({source, other});
    makeViewModel();

    m_vm->merge().startMergeMode(source);
    m_vm->merge().executeMerge();
    EXPECT_EQ(message(), QStringLiteral("Please select between 1 and 5 recordings to merge."));

    m_vm->merge().toggleMergeSelection(other);
    m_vm->library().deleteRecording(other);
    EXPECT_TRUE(m_vm->merge().mergeSelectedIDs().isEmpty());
    m_vm->merge().executeMerge();
    EXPECT_FALSE(m_vm->merge().isMerging());
    EXPECT_TRUE(m_vm->merge().isMergeModeActive());
    EXPECT_EQ(m_vm->library().recordings().size(), 1);

    // Deleting the source ends the mode.
    m_vm->library().deleteRecording(source);
    EXPECT_FALSE(m_vm->merge().isMergeModeActive());
}

} // namespace
