// Transcription, recap and enhancement runs of library recordings.

#include "ViewModelFixture.h"

#include "audio/MP3Encoder.h"
#include "common/SettingsKeys.h"
#include "engines/enhancer/VoiceEnhancerEngine.h"
#include "platform/media/Mp3Decoder.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/StatusLine.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

TranscriptionService::Transcription transcription(const QString& text)
{
    TranscriptSegment segment;
    segment.id = QUuid::createUuid();
    segment.start = 0;
    segment.end = 2.5;
    segment.text = text;
    return {text, {segment}};
}

const Error engineError(QStringLiteral("Engine"), 7, QStringLiteral("Model file is damaged."));

class Processing : public ViewModelFixture {
protected:
    // One recording in the library, selected.
    RecordingItem setUpLibrary(const std::function<void(RecordingItem&)>& adjust = {})
    {
        RecordingItem item = makeRecording(QStringLiteral("Weekly"), 10);
        if (adjust)
            adjust(item);
        seedLibrary({item});
        makeViewModel();
        return m_vm->library().recordings().first();
    }

    RecordingItem current() const { return m_vm->library().recordings().first(); }

    // After a deletion: the status line says at most what the deletion said;
    // the work it cancelled adds nothing.
    void expectOnlyTheDeletionToShow() const
    {
        const QString trashed = QStringLiteral("Moved to Trash");
        EXPECT_EQ(m_vm->status().exportMessage().value_or(trashed), trashed);
    }
};

TEST_F(Processing, SecondTranscriptionOfTheSameRecordingIsIgnored)
{
    const RecordingItem item = setUpLibrary();
    m_vm->processing().transcribeRecording(item);
    m_vm->processing().transcribeRecording(item);
    EXPECT_EQ(m_transcriber->calls.count(), 1);
    EXPECT_TRUE(m_vm->processing().transcribingRecordingIDs().contains(item.id));
    EXPECT_FALSE(m_vm->status().exportMessage());
}

TEST_F(Processing, TheOldTranscriptAndRecapStayUntilNewOnesReplaceThem)
{
    const Date recapDate = Date::now().addingSeconds(-3600);
    const auto withTexts = [&](RecordingItem& r) {
        r.transcript = QStringLiteral("old words");
        r.summary = QStringLiteral("# Old recap");
        r.summaryCreatedAt = recapDate;
    };
    // A failed transcription changes nothing.
    RecordingItem item = setUpLibrary(withTexts);
    setRecapModelPresent(true);
    m_vm->processing().transcribeRecording(item);
    EXPECT_EQ(current().summary, QStringLiteral("# Old recap"));
    m_transcriber->calls.failLast(engineError);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().transcribingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcription failed: Model file is damaged."));
    EXPECT_EQ(current().transcript, QStringLiteral("old words"));
    EXPECT_EQ(current().summary, QStringLiteral("# Old recap"));
    EXPECT_EQ(current().summaryCreatedAt, recapDate);
    EXPECT_EQ(savedLibrary().first().summary, QStringLiteral("# Old recap"));

    // A new transcript whose recap fails keeps the old recap; a recap that
    // succeeds replaces it.
    m_vm->processing().transcribeRecording(item);
    m_transcriber->calls.resolveLast(transcription(QStringLiteral("new words")));
    ASSERT_TRUE(waitFor([&] { return m_recap->calls.count() == 1; }));
    EXPECT_EQ(current().transcript, QStringLiteral("new words"));
    EXPECT_EQ(current().summary, QStringLiteral("# Old recap"));
    m_recap->calls.failLast(engineError);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().recappingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(current().summary, QStringLiteral("# Old recap"));
    EXPECT_EQ(savedLibrary().first().summary, QStringLiteral("# Old recap"));

    m_vm->processing().generateRecap(current(), std::nullopt);
    m_recap->calls.resolveLast(QStringLiteral("# New recap"));
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().recappingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(current().summary, QStringLiteral("# New recap"));
    EXPECT_NE(current().summaryCreatedAt, recapDate);
}

TEST_F(Processing, TranscriptIsStoredThenAnUntypedRecordingIsRecappedAsAMeeting)
{
    const RecordingItem item = setUpLibrary();
    setRecapModelPresent(true);
    m_vm->processing().transcribeRecording(item);
    m_transcriber->calls.resolveLast(transcription(QStringLiteral("We agreed on the budget.")));
    ASSERT_TRUE(waitFor([&] { return m_recap->calls.count() == 1; }));

    EXPECT_EQ(current().transcript, QStringLiteral("We agreed on the budget."));
    ASSERT_TRUE(current().transcriptSegments);
    EXPECT_EQ(current().transcriptSegments->size(), 1);
    EXPECT_EQ(m_vm->library().selectedRecording(), current());
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcription finished!"));
    EXPECT_FALSE(m_vm->processing().transcribingRecordingIDs().contains(item.id));
    EXPECT_TRUE(m_vm->processing().recappingRecordingIDs().contains(item.id));
    // The type is stored before the recap engine answers.
    EXPECT_EQ(m_recap->types.first(), RecordingType::meeting);
    EXPECT_EQ(current().recordingType, RecordingType::meeting);
    EXPECT_EQ(savedLibrary().first().recordingType, RecordingType::meeting);

    const Date before = Date::now();
    m_recap->calls.resolveLast(QStringLiteral("## Decisions\n- Budget approved"));
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().recappingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(current().summary, QStringLiteral("## Decisions\n- Budget approved"));
    ASSERT_TRUE(current().summaryCreatedAt);
    EXPECT_GE(*current().summaryCreatedAt, before);
    EXPECT_EQ(savedLibrary().first().summary, current().summary);
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Executive recap ready!"));
}

struct AutoRecapCase {
    const char* name;
    std::optional<bool> storedSetting;
    bool modelPresent;
    QString transcript;
    bool recapStarts;
    QString lastMessage;
};

class AutomaticRecap : public Processing, public ::testing::WithParamInterface<AutoRecapCase> {};

TEST_P(AutomaticRecap, FollowsATranscriptionOnlyWhenOnAndTheModelIsThere)
{
    const AutoRecapCase& c = GetParam();
    if (c.storedSetting)
        m_settings->setValue(SettingsKeys::autoGenerateRecap, *c.storedSetting);
    const RecordingItem item = setUpLibrary([](RecordingItem& r) { r.recordingType = RecordingType::lecture; });
    setRecapModelPresent(c.modelPresent);

    m_vm->processing().transcribeRecording(item);
    m_transcriber->calls.resolveLast(transcription(c.transcript));
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().transcribingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(m_recap->calls.count(), c.recapStarts ? 1 : 0);
    if (c.recapStarts) {
        EXPECT_EQ(m_recap->types.first(), RecordingType::lecture);
    }
    EXPECT_EQ(m_vm->status().exportMessage(), c.lastMessage);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, AutomaticRecap,
    ::testing::Values(
        AutoRecapCase{"OnByDefault", std::nullopt, true, QStringLiteral("words"), true,
                      QStringLiteral("Transcription finished!")},
        AutoRecapCase{"SwitchedOff", false, true, QStringLiteral("words"), false,
                      QStringLiteral("Transcription finished!")},
        AutoRecapCase{"NoModel", true, false, QStringLiteral("words"), false,
                      QStringLiteral("Transcription finished!")},
        AutoRecapCase{"EmptyTranscript", true, true, QStringLiteral(""), false,
                      QStringLiteral("Please transcribe the recording first.")}),
    [](const ::testing::TestParamInfo<AutoRecapCase>& row) { return row.param.name; });

TEST_F(Processing, RecapNeedsATranscriptAndGetsItUntrimmed)
{
    const RecordingItem blank = setUpLibrary([](RecordingItem& r) { r.transcript = QStringLiteral("  \n\t "); });
    m_vm->processing().generateRecap(blank);
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Please transcribe the recording first."));
    EXPECT_EQ(m_recap->calls.count(), 0);
    EXPECT_TRUE(m_vm->processing().recappingRecordingIDs().isEmpty());

    RecordingItem spoken = blank;
    spoken.transcript = QStringLiteral("  hello there \n");
    m_vm->processing().generateRecap(spoken, RecordingType::oneOnOne);
    m_vm->processing().generateRecap(spoken, RecordingType::oneOnOne);
    ASSERT_EQ(m_recap->calls.count(), 1);
    EXPECT_EQ(m_recap->transcripts.first(), QStringLiteral("  hello there \n"));
    EXPECT_EQ(current().recordingType, RecordingType::oneOnOne);

    m_recap->calls.failLast(Error(QStringLiteral("RecapEngine"), -1, QStringLiteral("AI Summary model is not downloaded.")));
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().recappingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recap failed: AI Summary model is not downloaded."));
    // The type stored before the run stays.
    EXPECT_EQ(current().recordingType, RecordingType::oneOnOne);
}

TEST_F(Processing, DeletingDuringATranscriptionCancelsItAndItShowsNothing)
{
    const RecordingItem item = setUpLibrary();
    m_vm->processing().transcribeRecording(item);
    m_vm->library().deleteRecording(item);
    EXPECT_TRUE(m_vm->processing().transcribingRecordingIDs().isEmpty());
    EXPECT_TRUE(m_transcriber->calls.isCancelled(0));

    // An engine that answers anyway changes nothing and says nothing.
    m_transcriber->calls.resolveLast(transcription(QStringLiteral("late")));
    settle();
    expectOnlyTheDeletionToShow();
    EXPECT_TRUE(m_vm->library().recordings().isEmpty());
    EXPECT_TRUE(savedLibrary().isEmpty());
    EXPECT_EQ(m_recap->calls.count(), 0);
}

TEST_F(Processing, FailureOfACancelledRunShowsNothing)
{
    const RecordingItem item = setUpLibrary([](RecordingItem& r) { r.transcript = QStringLiteral("words"); });
    m_vm->processing().generateRecap(item);
    m_vm->processing().enhanceRecording(item);
    m_vm->library().deleteRecording(item);
    EXPECT_TRUE(m_vm->processing().recappingRecordingIDs().isEmpty());
    EXPECT_TRUE(m_vm->processing().enhancingRecordingIDs().isEmpty());
    m_recap->calls.failLast(CancelledError());
    m_enhancer->calls.failLast(engineError);
    settle();
    expectOnlyTheDeletionToShow();
}

TEST_F(Processing, EnhancingTheSelectedRecordingSwitchesPlaybackToTheCopy)
{
    const RecordingItem item = setUpLibrary();
    m_player->play();
    m_player->advanceTo(12);
    m_vm->processing().enhanceRecording(item);
    m_vm->processing().enhanceRecording(item);
    ASSERT_EQ(m_enhancer->calls.count(), 1);
    EXPECT_EQ(m_enhancer->sources.first(), audioPath(item));
    const QString expected = m_storage->enhancedDestinationURL(item).url;
    EXPECT_EQ(m_enhancer->destinations.first(), expected);
    EXPECT_TRUE(expected.endsWith(QStringLiteral("Weekly_1699999400_enhanced.mp3")));

    m_enhancer->writeAndFinish(0);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(current().enhancedFileName, QStringLiteral("Weekly_1699999400_enhanced.mp3"));
    EXPECT_EQ(savedLibrary().first().enhancedFileName, current().enhancedFileName);
    EXPECT_TRUE(m_vm->library().isPlayingEnhanced());
    EXPECT_EQ(m_player->currentLoadedURL(), expected);
    EXPECT_EQ(m_player->currentTime(), 12);
    EXPECT_TRUE(m_player->isPlaying());
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Voice enhanced!"));
}

TEST_F(Processing, EnhancingAnotherRecordingLeavesPlaybackAlone)
{
    const RecordingItem other = makeRecording(QStringLiteral("Other"), 60);
    const RecordingItem shown = makeRecording(QStringLiteral("Shown"), 5);
    seedLibrary({shown, other});
    makeViewModel();
    ASSERT_EQ(m_vm->library().selectedRecording()->id, shown.id);

    m_vm->processing().enhanceRecording(other);
    m_enhancer->writeAndFinish(0);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancingRecordingIDs().isEmpty(); }));
    EXPECT_TRUE(m_vm->library().recordings().at(1).enhancedFileName);
    EXPECT_FALSE(m_vm->library().isPlayingEnhanced());
    EXPECT_EQ(m_player->currentLoadedURL(), audioPath(shown));
}

TEST_F(Processing, CopyWrittenForADeletedRecordingIsRemoved)
{
    const RecordingItem item = setUpLibrary();
    m_vm->processing().enhanceRecording(item);
    m_vm->library().deleteRecording(item);
    // An engine that does not notice the cancellation writes its copy anyway.
    m_enhancer->writeAndFinish(0);
    settle();
    EXPECT_FALSE(QFileInfo::exists(m_enhancer->destinations.first()));
    expectOnlyTheDeletionToShow();
}

TEST_F(Processing, EnhancementFailureIsReported)
{
    const RecordingItem item = setUpLibrary();
    m_vm->processing().enhanceRecording(item);
    m_enhancer->calls.failLast(engineError);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Enhancement failed: Model file is damaged."));
    EXPECT_FALSE(current().enhancedFileName);
}

// The view model over the application's own voice enhancer.
TEST_F(Processing, EnginesFiguresReachTheViewModelInWholePercent)
{
    const RecordingItem item = setUpLibrary();
    m_vm->processing().transcribeRecording(item);
    m_vm->processing().enhanceRecording(item);
    EXPECT_TRUE(m_vm->processing().transcriptionProgress().isEmpty()); // no figure yet

    m_transcriber->calls.progress(0, 42, 100);
    m_enhancer->calls.progress(0, 3, 8); // blocks done of all blocks
    ASSERT_TRUE(waitFor([&] {
        return m_vm->processing().transcriptionProgress().value(item.id) == 42
            && m_vm->processing().enhancementProgress().value(item.id) == 37;
    }));

    // A run's figure goes with the run.
    m_transcriber->calls.resolve(0, transcription(QStringLiteral("done")));
    m_enhancer->writeAndFinish(0);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancingRecordingIDs().isEmpty(); }));
    EXPECT_TRUE(m_vm->processing().transcriptionProgress().isEmpty());
    EXPECT_TRUE(m_vm->processing().enhancementProgress().isEmpty());
}

TEST_F(Processing, CancellingATranscriptionOrAnEnhancementLeavesTheRecordingAsItWas)
{
    const RecordingItem item = setUpLibrary([](RecordingItem& r) { r.transcript = QStringLiteral("old words"); });
    m_vm->processing().transcribeRecording(item);
    m_vm->processing().enhanceRecording(item);
    m_transcriber->calls.progress(0, 10, 100);
    const RecordingItem before = current();

    m_vm->processing().cancelTranscription(item);
    EXPECT_TRUE(m_transcriber->calls.isCancelled(0));
    EXPECT_FALSE(m_enhancer->calls.isCancelled(0)); // the other run goes on
    EXPECT_FALSE(m_vm->processing().transcribingRecordingIDs().contains(item.id));
    EXPECT_TRUE(m_vm->processing().transcriptionProgress().isEmpty());
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcription cancelled"));

    m_vm->processing().cancelEnhancement(item);
    EXPECT_TRUE(m_enhancer->calls.isCancelled(0));
    EXPECT_FALSE(m_vm->processing().enhancingRecordingIDs().contains(item.id));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Enhancement cancelled"));

    // Engines that answer anyway change nothing; a new run can start.
    m_transcriber->calls.resolve(0, transcription(QStringLiteral("late")));
    m_enhancer->writeAndFinish(0);
    settle();
    EXPECT_EQ(current(), before);
    EXPECT_FALSE(QFile::exists(m_enhancer->destinations.first()));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Enhancement cancelled"));
    m_vm->processing().transcribeRecording(item);
    EXPECT_EQ(m_transcriber->calls.count(), 2);
}

class WithRealEnhancer : public Processing {
protected:
    void SetUp() override
    {
        m_useRealEnhancer = true;
        Processing::SetUp();
    }

    // Replaces the recording's file with `seconds` of a voice-like tone.
    void writeAudio(const RecordingItem& item, double seconds)
    {
        MP3Encoder encoder(audioPath(item));
        std::vector<int16_t> samples;
        for (int64_t i = 0; i < static_cast<int64_t>(seconds * 44100); ++i) {
            const auto value = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 180 * double(i) / 44100));
            samples.insert(samples.end(), {value, value});
        }
        encoder.encode(samples);
        encoder.finish();
    }

    // The engine runs one enhancement at a time: once a later one has ended,
    // every earlier one has too.
    static void waitForTheEngine()
    {
        VoiceEnhancerEngine::shared()
            .enhanceAudioFile(QStringLiteral("/nonexistent/source.mp3"), QStringLiteral("/nonexistent/copy.mp3"))
            .onFailed([](const Error&) {})
            .waitForFinished();
    }

    QStringList libraryFiles() const
    {
        return QDir(m_storage->storageDirectory()).entryList(QDir::Files | QDir::Hidden);
    }
};

TEST_F(WithRealEnhancer, EnhanceVoiceWritesTheCopyAndPlaysIt)
{
    const RecordingItem item = setUpLibrary();
    writeAudio(item, 3);
    m_vm->processing().enhanceRecording(item);
    EXPECT_TRUE(m_vm->processing().enhancingRecordingIDs().contains(item.id));
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancingRecordingIDs().isEmpty(); }, 60000));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Voice enhanced!"));

    // The row's badge and the Original/Enhanced switch follow the stored name.
    EXPECT_EQ(current().enhancedFileName, QStringLiteral("Weekly_1699999400_enhanced.mp3"));
    EXPECT_EQ(savedLibrary().first().enhancedFileName, current().enhancedFileName);
    const QString copy = m_storage->enhancedFileURL(current()).value();
    EXPECT_NEAR(Mp3Decoder::durationOf(copy), 3.0, 0.1);
    EXPECT_TRUE(m_vm->library().isPlayingEnhanced());
    EXPECT_EQ(m_player->currentLoadedURL(), copy);
    m_vm->library().setPlayingEnhanced(false);
    EXPECT_EQ(m_player->currentLoadedURL(), audioPath(item));
    m_vm->library().setPlayingEnhanced(true);
    EXPECT_EQ(m_player->currentLoadedURL(), copy);
    EXPECT_EQ(libraryFiles(), QStringList({QStringLiteral("Weekly_1699999400.mp3"),
                                           QStringLiteral("Weekly_1699999400_enhanced.mp3")}));
}

TEST_F(WithRealEnhancer, ShowsBlocksDoneAndCancelsLeavingNoFile)
{
    const RecordingItem item = setUpLibrary();
    writeAudio(item, 120);
    m_vm->processing().enhanceRecording(item);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancementProgress().value(item.id) > 0; }, 60000));
    const int shown = m_vm->processing().enhancementProgress().value(item.id);
    EXPECT_LT(shown, 100);
    m_vm->processing().cancelEnhancement(item);
    waitForTheEngine();
    settle();
    EXPECT_EQ(libraryFiles(), QStringList({QStringLiteral("Weekly_1699999400.mp3")}));
    EXPECT_FALSE(current().enhancedFileName);
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Enhancement cancelled"));
}

TEST_F(WithRealEnhancer, DeletingTheRecordingDuringTheEnhancementLeavesNoFile)
{
    const RecordingItem item = setUpLibrary();
    writeAudio(item, 120);
    m_vm->processing().enhanceRecording(item);
    // Under way: the copy is being written beside the recording.
    ASSERT_TRUE(waitFor([&] { return libraryFiles().filter(QStringLiteral(".enh_temp_")).size() == 1; }, 60000));
    m_vm->library().deleteRecording(item);
    waitForTheEngine();
    settle();
    EXPECT_EQ(libraryFiles(), QStringList());
    expectOnlyTheDeletionToShow();
}

TEST_F(WithRealEnhancer, RecordingThatIsNoAudioReportsTheFailure)
{
    const RecordingItem item = setUpLibrary();
    m_vm->processing().enhanceRecording(item);
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().enhancingRecordingIDs().isEmpty(); }, 60000));
    EXPECT_EQ(m_vm->status().exportMessage(),
              QStringLiteral("Enhancement failed: The file \"Weekly_1699999400.mp3\" holds no MP3 audio."));
    EXPECT_FALSE(current().enhancedFileName);
    EXPECT_EQ(libraryFiles(), QStringList({QStringLiteral("Weekly_1699999400.mp3")}));
}

TEST_F(Processing, CopiesGoToTheClipboardEvenWhenEmpty)
{
    makeViewModel();
    m_vm->processing().copyRecap(QStringLiteral("# Recap"));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recap copied to clipboard!"));
    m_vm->processing().copyTranscript(QString());
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcript copied to clipboard!"));
    EXPECT_EQ(m_clipboard->texts, (QStringList{QStringLiteral("# Recap"), QString()}));
}

} // namespace
