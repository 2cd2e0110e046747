// Trim mode: the range, its preview, and cutting a recording in place or as a
// new recording.

#include "ViewModelFixture.h"

#include "audio/ToneFiles.h"
#include "common/SettingsKeys.h"
#include "support/StdoutCapture.h"
#include "support/TestFiles.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/TrimSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

TranscriptSegment segment(double start, double end, const QString& text)
{
    return {QUuid::createUuid(), start, end, text};
}

const Error trimError(QStringLiteral("Trim"), 4, QStringLiteral("Invalid trim range (9.0s to 12.0s for total 8.0s)."));

class TrimMode : public ViewModelFixture {
protected:
    // One recording in the library, trim mode on for it. Unless `wholeRange`,
    // the range starts a second in, so that a confirmation cuts something.
    RecordingItem setUpTrimming(const std::function<void(RecordingItem&)>& adjust = {}, bool wholeRange = false)
    {
        RecordingItem item = makeRecording(QStringLiteral("Standup"), 10);
        // Bars with some life in them, which the start-up repair leaves alone.
        for (int i = 0; i < item.waveformSamples.size(); ++i)
            item.waveformSamples[i] = 0.15f + 0.08f * float(i % 10);
        if (adjust)
            adjust(item);
        seedLibrary({item});
        makeViewModel();
        const RecordingItem loaded = m_vm->library().recordings().first();
        m_vm->trim().startTrimming(loaded);
        if (!wholeRange)
            m_vm->trim().setTrimStartTime(1);
        return loaded;
    }

    QStringList hiddenFiles() const
    {
        return QDir(m_storage->storageDirectory()).entryList({QStringLiteral(".trim_temp_*")}, QDir::Files | QDir::Hidden);
    }

    RecordingItem stored(const QUuid& id) const
    {
        for (const RecordingItem& item : m_vm->library().recordings())
            if (item.id == id)
                return item;
        ADD_FAILURE() << "no recording " << id.toString().toStdString();
        return {};
    }
};

TEST_F(TrimMode, StartTakesTheWholeRecordingAtLeastOneSecond)
{
    for (const double duration : {0.6, 42.0}) {
        const RecordingItem item = setUpTrimming([duration](RecordingItem& r) { r.duration = duration; }, true);
        EXPECT_TRUE(m_vm->trim().isTrimmingActive());
        EXPECT_EQ(m_vm->trim().trimmingTargetItem()->id, item.id);
        EXPECT_EQ(m_vm->trim().trimStartTime(), 0);
        EXPECT_EQ(m_vm->trim().trimEndTime(), std::max(duration, 1.0));
        EXPECT_EQ(m_vm->library().selectedRecording()->id, item.id);
        EXPECT_FALSE(m_player->isPlaying());
        m_vm.reset();
    }
}

TEST_F(TrimMode, StartIsRefusedWhileRecordingAndARecordingLeavesTheMode)
{
    const RecordingItem item = setUpTrimming();
    startRecording();
    EXPECT_FALSE(m_vm->trim().isTrimmingActive());
    m_vm->trim().startTrimming(item);
    EXPECT_FALSE(m_vm->trim().isTrimmingActive());
}

TEST_F(TrimMode, CancelKeepsTheRange)
{
    setUpTrimming();
    m_vm->trim().setTrimStartTime(3);
    m_vm->trim().setTrimEndTime(8);
    m_vm->trim().cancelTrimming();
    EXPECT_FALSE(m_vm->trim().isTrimmingActive());
    EXPECT_FALSE(m_vm->trim().trimmingTargetItem());
    EXPECT_EQ(m_vm->trim().trimStartTime(), 3);
    EXPECT_EQ(m_vm->trim().trimEndTime(), 8);
}

TEST_F(TrimMode, PreviewPlaysTheRangeThenStopsAndRewindsAtItsEnd)
{
    setUpTrimming();
    m_vm->trim().setTrimStartTime(10);
    m_vm->trim().setTrimEndTime(20);
    m_vm->trim().toggleTrimPreview();
    EXPECT_TRUE(m_vm->trim().isTrimPreviewing());
    EXPECT_TRUE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 10);

    m_player->advanceTo(19.9);
    settle();
    EXPECT_TRUE(m_vm->trim().isTrimPreviewing());
    EXPECT_TRUE(m_player->isPlaying());

    m_player->advanceTo(20.05);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimPreviewing(); }));
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 10);
}

TEST_F(TrimMode, PreviewToggledAgainPausesWhereItIs)
{
    setUpTrimming();
    m_vm->trim().toggleTrimPreview();
    m_player->advanceTo(4);
    m_vm->trim().toggleTrimPreview();
    EXPECT_FALSE(m_vm->trim().isTrimPreviewing());
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 4);
}

TEST_F(TrimMode, RangeBelowHalfASecondIsRefusedAndHalfASecondIsCut)
{
    setUpTrimming();
    m_vm->trim().setTrimStartTime(2);
    m_vm->trim().setTrimEndTime(2.49);
    m_vm->trim().executeTrim(true);
    EXPECT_EQ(m_trimmer->calls.count(), 0);
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Trim range is too short (minimum 0.5s required)."));
    EXPECT_TRUE(m_vm->trim().isTrimmingActive());

    m_vm->trim().setTrimEndTime(2.5);
    m_vm->trim().executeTrim(true);
    ASSERT_EQ(m_trimmer->calls.count(), 1);
    EXPECT_EQ(m_trimmer->requests.first().start, 2);
    EXPECT_EQ(m_trimmer->requests.first().end, 2.5);
}

TEST_F(TrimMode, SecondConfirmationWhileACutRunsDoesNothing)
{
    setUpTrimming();
    m_vm->trim().executeTrim(false);
    m_vm->trim().executeTrim(true);
    m_vm->trim().executeTrim(false);
    EXPECT_EQ(m_trimmer->calls.count(), 1);
    EXPECT_TRUE(m_vm->trim().isTrimmingProcessing());
    EXPECT_EQ(m_vm->trim().trimmingProgressText(), QStringLiteral("Cropping audio..."));
}

TEST_F(TrimMode, RangeOfTheWholeRecordingCutsNothingAndSaysSo)
{
    // Untouched handles, and handles dragged to the very ends.
    for (const auto& [start, end] : {std::pair{0.0, 30.0}, std::pair{0.004, 29.996}}) {
        const RecordingItem item = setUpTrimming({}, true);
        m_vm->trim().setTrimStartTime(start);
        m_vm->trim().setTrimEndTime(end);
        m_vm->trim().executeTrim(false);
        EXPECT_EQ(m_trimmer->calls.count(), 0);
        EXPECT_FALSE(m_vm->trim().isTrimmingProcessing());
        EXPECT_TRUE(m_vm->trim().isTrimmingActive());
        EXPECT_EQ(m_vm->status().exportMessage(),
                  QStringLiteral("Nothing to trim: the selection is the whole recording."));
        EXPECT_EQ(stored(item.id), item);
        m_vm.reset();
    }
}

TEST_F(TrimMode, LeavingTheModeKeepsTheCutAndItsStateUntilItEnds)
{
    const RecordingItem item = setUpTrimming();
    m_vm->trim().executeTrim(true);
    m_trimmer->requests.first().onProgress(0.3);
    ASSERT_TRUE(
        waitFor([&] { return m_vm->trim().trimmingProgressText() == QStringLiteral("Cropping audio... 30%"); }));

    // Back into trim mode for the same recording: the cut still shows and a
    // second confirmation is still refused.
    m_vm->trim().cancelTrimming();
    EXPECT_FALSE(m_vm->trim().isTrimmingProcessing());
    m_vm->trim().startTrimming(item);
    EXPECT_TRUE(m_vm->trim().isTrimmingProcessing());
    EXPECT_EQ(m_vm->trim().trimmingProgressText(), QStringLiteral("Cropping audio... 30%"));
    m_vm->trim().setTrimStartTime(2);
    m_vm->trim().executeTrim(true);
    EXPECT_EQ(m_trimmer->calls.count(), 1);

    // It ends as it would have, and is filed once.
    m_trimmer->writeAndFinish(0, 20);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingProcessing(); }));
    settle();
    EXPECT_EQ(m_vm->library().recordings().size(), 2);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Standup (Trimmed)"));
}

TEST_F(TrimMode, ACutOfOneRecordingLeavesAnothersTrimAlone)
{
    const RecordingItem first = setUpTrimming();
    RecordingItem second = makeRecording(QStringLiteral("Retro"), 20);
    m_vm.reset();
    seedLibrary({first, second});
    makeViewModel();
    m_vm->trim().startTrimming(first);
    m_vm->trim().setTrimStartTime(1);
    m_vm->trim().executeTrim(true);

    m_vm->trim().startTrimming(second);
    EXPECT_FALSE(m_vm->trim().isTrimmingProcessing());
    EXPECT_FALSE(m_vm->trim().trimmingProgressText());
    m_vm->trim().setTrimStartTime(1);
    m_vm->trim().executeTrim(false);
    ASSERT_EQ(m_trimmer->calls.count(), 2);

    // The first cut's end neither leaves nor ends the second one's trim.
    m_trimmer->writeAndFinish(0, 20);
    ASSERT_TRUE(waitFor([&] { return m_vm->library().recordings().size() == 3; }));
    EXPECT_TRUE(m_vm->trim().isTrimmingActive());
    EXPECT_EQ(m_vm->trim().trimmingTargetItem()->id, second.id);
    EXPECT_TRUE(m_vm->trim().isTrimmingProcessing());
}

TEST_F(TrimMode, CancelStopsTheCutWhichThenFilesNothing)
{
    for (const bool saveAsNew : {false, true}) {
        const RecordingItem item = setUpTrimming();
        m_vm->trim().executeTrim(saveAsNew);
        const QString destination = m_trimmer->requests.first().destination;
        TestFiles::writeFile(destination, "partial");
        m_vm->trim().cancelCut();
        EXPECT_TRUE(m_trimmer->calls.isCancelled(0));
        EXPECT_FALSE(m_vm->trim().isTrimmingActive());
        // The trimmer ends its work, cancelled, a moment later.
        m_trimmer->calls.resolve(0);
        ASSERT_TRUE(waitFor([&] { return m_vm->status().exportMessage() == QStringLiteral("Trim cancelled"); }));
        EXPECT_FALSE(QFile::exists(destination));
        EXPECT_EQ(m_vm->library().recordings(), QList<RecordingItem>{item});
        EXPECT_EQ(TestFiles::readFile(audioPath(item)).size(), 4096);
        m_vm.reset();
    }
}

TEST_F(TrimMode, ProgressIsShownInWholePercent)
{
    setUpTrimming();
    m_vm->trim().executeTrim(true);
    m_trimmer->requests.first().onProgress(0.426);
    ASSERT_TRUE(
        waitFor([&] { return m_vm->trim().trimmingProgressText() == QStringLiteral("Cropping audio... 42%"); }));
    m_trimmer->writeAndFinish(0, 5);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingActive(); }));
    m_trimmer->requests.first().onProgress(1.0); // late: applies nothing
    settle();
    EXPECT_FALSE(m_vm->trim().trimmingProgressText());
}

TEST_F(TrimMode, InPlaceCutReplacesTheAudioAndDropsWhatNoLongerFitsButTheRecapUntilItsSuccessor)
{
    const RecordingItem item = setUpTrimming([this](RecordingItem& r) {
        r.enhancedFileName = QStringLiteral("Standup_enhanced.mp3");
        writeFile(QDir(m_storage->storageDirectory()).filePath(*r.enhancedFileName), 2048);
        r.summary = QStringLiteral("# Recap");
        r.summaryCreatedAt = Date::now();
        r.recordingType = RecordingType::lecture;
        r.transcriptSegments = QList<TranscriptSegment>{segment(0, 4, QStringLiteral("one")),
                                                        segment(4, 9, QStringLiteral("two")),
                                                        segment(9, 12, QStringLiteral("three"))};
        r.transcript = QStringLiteral("one two three");
    });
    setRecapModelPresent(true);
    m_vm->trim().setTrimStartTime(5);
    m_vm->trim().setTrimEndTime(9);
    m_vm->trim().executeTrim(false);
    ASSERT_EQ(m_trimmer->calls.count(), 1);
    EXPECT_EQ(m_trimmer->requests.first().source, audioPath(item));
    EXPECT_TRUE(QFileInfo(m_trimmer->requests.first().destination).fileName().startsWith(QStringLiteral(".trim_temp_")));
    m_trimmer->writeAndFinish(0, 4, 3000);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingActive(); }));

    const RecordingItem cut = stored(item.id);
    EXPECT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(cut.title, item.title);
    EXPECT_EQ(cut.fileName, item.fileName);
    EXPECT_EQ(cut.createdAt, item.createdAt);
    EXPECT_EQ(cut.recordingType, RecordingType::lecture);
    EXPECT_EQ(cut.duration, 4);
    EXPECT_EQ(cut.fileSizeBytes, 3000);
    EXPECT_EQ(cut.waveformSamples.size(), 120);
    EXPECT_FALSE(cut.enhancedFileName);
    // A recap takes a model and minutes to write: the old one stays until the
    // new one is there.
    EXPECT_EQ(cut.summary, item.summary);
    EXPECT_EQ(cut.summaryCreatedAt, item.summaryCreatedAt);
    EXPECT_EQ(cut.transcript, QStringLiteral("two"));
    ASSERT_TRUE(cut.transcriptSegments);
    EXPECT_EQ(cut.transcriptSegments->size(), 1);
    EXPECT_EQ(TestFiles::readFile(audioPath(item)), QByteArray(3000, 'c'));
    EXPECT_FALSE(QFile::exists(QDir(m_storage->storageDirectory()).filePath(QStringLiteral("Standup_enhanced.mp3"))));
    EXPECT_TRUE(hiddenFiles().isEmpty());
    EXPECT_EQ(savedLibrary(), m_vm->library().recordings());

    EXPECT_EQ(m_vm->library().selectedRecording(), cut);
    EXPECT_EQ(m_player->loads.last(), audioPath(item));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recording cropped successfully!"));
    // The recap is written again from what remains, in the recording's format.
    ASSERT_EQ(m_recap->calls.count(), 1);
    EXPECT_EQ(m_recap->transcripts.first(), QStringLiteral("two"));
    EXPECT_EQ(m_recap->types.first(), RecordingType::lecture);
    m_recap->calls.resolveLast(QStringLiteral("# Recap of two"));
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().recappingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(stored(item.id).summary, QStringLiteral("# Recap of two"));
}

TEST_F(TrimMode, InPlaceCutFirstCancelsTheRecordingsPendingWork)
{
    const RecordingItem item = setUpTrimming([](RecordingItem& r) { r.transcript = QStringLiteral("words"); });
    m_vm->processing().transcribeRecording(item);
    m_vm->processing().enhanceRecording(item);
    m_vm->trim().executeTrim(false);
    EXPECT_TRUE(m_transcriber->calls.isCancelled(0));
    EXPECT_TRUE(m_enhancer->calls.isCancelled(0));
    EXPECT_FALSE(m_vm->processing().transcribingRecordingIDs().contains(item.id));
    EXPECT_FALSE(m_vm->processing().enhancingRecordingIDs().contains(item.id));
}

TEST_F(TrimMode, CutWithoutSegmentsDropsTheTranscriptAndWritesNoRecap)
{
    // A transcript that arrived after trim mode began does not count.
    const RecordingItem item = setUpTrimming();
    setRecapModelPresent(true);
    m_vm->processing().transcribeRecording(item);
    m_transcriber->calls.resolve(0, {QStringLiteral("late"), {segment(0, 3, QStringLiteral("late"))}});
    ASSERT_TRUE(waitFor([&] { return stored(item.id).transcript.has_value(); }));
    m_recap->calls.resolve(0, QStringLiteral("# Recap"));
    settle();

    m_vm->trim().executeTrim(false);
    m_trimmer->writeAndFinish(0, 30);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingActive(); }));
    EXPECT_FALSE(stored(item.id).transcript);
    EXPECT_FALSE(stored(item.id).transcriptSegments);
    EXPECT_EQ(m_recap->calls.count(), 1);
}

TEST_F(TrimMode, FailedCutLeavesTheRecordingAndTheModeAsTheyWere)
{
    const RecordingItem item = setUpTrimming();
    m_vm->trim().setTrimStartTime(9);
    m_vm->trim().setTrimEndTime(12);
    StdoutCapture out;
    m_vm->trim().executeTrim(false);
    const QString destination = m_trimmer->requests.first().destination;
    TestFiles::writeFile(destination, "partial");
    m_trimmer->calls.fail(0, trimError);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingProcessing(); }));

    const QString message = QStringLiteral("Cropping failed: Invalid trim range (9.0s to 12.0s for total 8.0s).");
    EXPECT_EQ(m_vm->status().exportMessage(), message);
    EXPECT_TRUE(out.text().contains(message));
    EXPECT_TRUE(m_vm->trim().isTrimmingActive());
    EXPECT_EQ(m_vm->trim().trimmingTargetItem()->id, item.id);
    EXPECT_EQ(m_vm->trim().trimStartTime(), 9);
    EXPECT_EQ(m_vm->trim().trimEndTime(), 12);
    EXPECT_FALSE(m_vm->trim().trimmingProgressText());
    EXPECT_EQ(stored(item.id), item);
    EXPECT_EQ(TestFiles::readFile(audioPath(item)).size(), 4096);
    EXPECT_FALSE(QFile::exists(destination));

    // It can be chosen again.
    m_vm->trim().executeTrim(false);
    EXPECT_EQ(m_trimmer->calls.count(), 2);
}

TEST_F(TrimMode, CutThatCannotTakeTheRecordingsPlaceChangesNothing)
{
    const RecordingItem item = setUpTrimming();
    m_vm->trim().executeTrim(false);
    // Something that a rename cannot replace now stands at the recording's name.
    QFile::remove(audioPath(item));
    QDir().mkpath(audioPath(item) + QStringLiteral("/inside"));
    m_trimmer->writeAndFinish(0, 10);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingProcessing(); }));

    EXPECT_TRUE(m_vm->status().exportMessage()->startsWith(QStringLiteral("Cropping failed: ")));
    EXPECT_TRUE(m_vm->trim().isTrimmingActive());
    EXPECT_EQ(stored(item.id), item);
    EXPECT_TRUE(hiddenFiles().isEmpty());
}

TEST_F(TrimMode, CutOfARecordingDeletedMeanwhileLeavesNothing)
{
    for (const bool saveAsNew : {false, true}) {
        const RecordingItem item = setUpTrimming();
        m_vm->trim().executeTrim(saveAsNew);
        m_vm->library().deleteRecording(item);
        m_trimmer->writeAndFinish(0, 10);
        ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingProcessing(); }));
        settle();
        EXPECT_TRUE(m_vm->library().recordings().isEmpty()) << saveAsNew;
        EXPECT_TRUE(savedLibrary().isEmpty()) << saveAsNew;
        EXPECT_TRUE(QDir(m_storage->storageDirectory()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << saveAsNew;
        EXPECT_FALSE(m_vm->trim().isTrimmingActive());
        m_vm.reset();
    }
}

class TrimWithRealTrimmer : public TrimMode {
protected:
    void SetUp() override
    {
        TrimMode::SetUp();
        m_useRealTrimmer = true;
    }
};

TEST_F(TrimWithRealTrimmer, SavingAsNewTwiceGivesTwoRecordingsAndTwoFiles)
{
    const RecordingItem item = setUpTrimming([this](RecordingItem& r) {
        ToneFiles::write(audioPath(r), {{4.0, 440}});
        r.duration = 4;
        r.transcriptSegments = QList<TranscriptSegment>{segment(0.5, 1.5, QStringLiteral("hi"))};
        r.transcript = QStringLiteral("hi");
    });
    QStringList files;
    for (int round = 0; round < 2; ++round) {
        m_vm->trim().startTrimming(item);
        m_vm->trim().setTrimStartTime(1);
        m_vm->trim().setTrimEndTime(3);
        m_vm->trim().executeTrim(true);
        ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingActive(); }, 15000));
        const RecordingItem cut = m_vm->library().recordings().first();
        EXPECT_EQ(cut.title, QStringLiteral("Standup (Trimmed)"));
        EXPECT_NEAR(cut.duration, 2, 0.05);
        EXPECT_EQ(cut.fileSizeBytes, QFileInfo(audioPath(cut)).size());
        EXPECT_EQ(cut.waveformSamples.size(), 120);
        EXPECT_FALSE(cut.recordingType);
        EXPECT_EQ(cut.transcript, QStringLiteral("hi"));
        EXPECT_EQ(cut.transcriptSegments->first().start, 0);
        EXPECT_EQ(cut.transcriptSegments->first().end, 0.5);
        EXPECT_EQ(m_vm->library().selectedRecording()->id, cut.id);
        EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Cropped recording saved as \"Standup (Trimmed)\"!"));
        EXPECT_NEAR(ToneFiles::decode(audioPath(cut)).seconds(), 2, 0.1);
        files.append(cut.fileName);
    }
    ASSERT_EQ(m_vm->library().recordings().size(), 3);
    EXPECT_NE(files.at(0), files.at(1));
    EXPECT_EQ(stored(item.id), item);
    EXPECT_EQ(savedLibrary(), m_vm->library().recordings());
    EXPECT_TRUE(hiddenFiles().isEmpty());
}

TEST_F(TrimWithRealTrimmer, CancelledCutLeavesNoFileAndNoRecord)
{
    for (const bool saveAsNew : {false, true}) {
        const RecordingItem item = setUpTrimming([this](RecordingItem& r) {
            ToneFiles::write(audioPath(r), {{40.0, 440}});
            r.duration = 40;
        });
        const auto audioFiles = [this] {
            return QDir(m_storage->storageDirectory()).entryList({QStringLiteral("*.mp3")}, QDir::Files | QDir::Hidden);
        };
        const QStringList before = audioFiles();
        const QByteArray audio = TestFiles::readFile(audioPath(item));
        m_vm->trim().executeTrim(saveAsNew);
        // Cancelled once the trimmer has shown it is under way.
        ASSERT_TRUE(waitFor(
            [&] { return m_vm->trim().trimmingProgressText().value_or(QString()).endsWith(QLatin1Char('%')); }, 15000));
        m_vm->trim().cancelCut();
        ASSERT_TRUE(waitFor([&] { return m_vm->status().exportMessage() == QStringLiteral("Trim cancelled"); }, 15000));
        settle();
        EXPECT_EQ(audioFiles(), before) << saveAsNew;
        EXPECT_EQ(m_vm->library().recordings(), QList<RecordingItem>{item}) << saveAsNew;
        EXPECT_EQ(savedLibrary().size(), 1) << saveAsNew;
        EXPECT_EQ(TestFiles::readFile(audioPath(item)), audio) << saveAsNew;
        m_vm.reset();
    }
}

TEST_F(TrimWithRealTrimmer, CutOfARecordingShorterThanItsRangeTakesTheFilesLength)
{
    const RecordingItem item = setUpTrimming(
        [this](RecordingItem& r) {
            ToneFiles::write(audioPath(r), {{0.8, 440}});
            r.duration = 0.8;
        },
        true);
    EXPECT_EQ(m_vm->trim().trimEndTime(), 1.0);
    m_vm->trim().setTrimStartTime(0.2);
    m_vm->trim().executeTrim(false);
    ASSERT_TRUE(waitFor([&] { return !m_vm->trim().isTrimmingActive(); }, 15000));
    EXPECT_NEAR(stored(item.id).duration, 0.6, 0.03);
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recording cropped successfully!"));
}

} // namespace
