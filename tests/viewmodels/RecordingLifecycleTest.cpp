// Starting, pausing and stopping a recording and filing it into the library.

#include "ViewModelFixture.h"

#include "common/SettingsKeys.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/StatusLine.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

using ::testing::Each;
using ::testing::Ge;
using ::testing::Le;

namespace {

using RecordingLifecycle = ViewModelFixture;

TEST_F(RecordingLifecycle, EachStateIgnoresWhatItCannotDo)
{
    makeViewModel();
    RecordingViewModel& vm = *m_vm;

    // Idle: no stop, no pause.
    vm.recorder().stopRecording();
    vm.recorder().pauseResumeRecording();
    EXPECT_EQ(m_recorder->stops.count(), 0);
    EXPECT_EQ(m_recorder->pauses, 0);

    // Starting: no second start, no stop, no pause.
    vm.recorder().startNewRecording();
    vm.recorder().startNewRecording();
    vm.recorder().stopRecording();
    vm.recorder().pauseResumeRecording();
    EXPECT_EQ(m_recorder->starts.count(), 1);
    EXPECT_EQ(m_recorder->stops.count(), 0);
    EXPECT_EQ(m_recorder->pauses, 0);
    EXPECT_EQ(vm.recorder().recorderState(), RecorderState::starting);

    // Recording and paused: no start.
    m_recorder->starts.resolve(0);
    ASSERT_TRUE(waitFor([&] { return vm.recorder().recorderState() == RecorderState::recording; }));
    vm.recorder().startNewRecording();
    vm.recorder().pauseResumeRecording();
    EXPECT_EQ(vm.recorder().recorderState(), RecorderState::paused);
    vm.recorder().startNewRecording();
    EXPECT_EQ(m_recorder->starts.count(), 1);

    // Stopping: nothing.
    vm.recorder().stopRecording();
    EXPECT_EQ(vm.recorder().recorderState(), RecorderState::stopping);
    vm.recorder().startNewRecording();
    vm.recorder().stopRecording();
    vm.recorder().pauseResumeRecording();
    EXPECT_EQ(m_recorder->starts.count(), 1);
    EXPECT_EQ(m_recorder->stops.count(), 1);
    EXPECT_EQ(m_recorder->pauses, 1);
    EXPECT_EQ(m_recorder->resumes, 0);
    EXPECT_EQ(vm.recorder().recorderState(), RecorderState::stopping);
}

TEST_F(RecordingLifecycle, StartWithBothSourcesOffIsRefusedAfterClearingTheSelection)
{
    seedLibrary({makeRecording(QStringLiteral("Kept"), 5)});
    makeViewModel();
    m_vm->library().setActiveDetailTab(DetailViewTab::recap);
    m_vm->recorder().setIsMicEnabled(false);
    m_vm->recorder().setIsSystemAudioEnabled(false);
    const int playerStops = m_player->stops;

    m_vm->recorder().startNewRecording();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::idle);
    EXPECT_EQ(m_vm->status().exportMessage(),
              QStringLiteral("Please enable at least one source (Mic or System Audio) to record."));
    EXPECT_EQ(m_vm->library().activeDetailTab(), DetailViewTab::waveform);
    EXPECT_FALSE(m_vm->library().selectedRecording());
    EXPECT_GT(m_player->stops, playerStops);
    EXPECT_EQ(m_recorder->starts.count(), 0);
    EXPECT_EQ(m_meetings->started, 0);
}

TEST_F(RecordingLifecycle, StartPreparesTheRecordingAndTellsTheMeetingDetector)
{
    seedLibrary({makeRecording(QStringLiteral("Earlier"), 5)});
    makeViewModel();
    m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
    m_recorder->emitWaveformSample(0.5f);

    m_vm->recorder().startNewRecording();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::starting);
    EXPECT_EQ(m_vm->library().activeDetailTab(), DetailViewTab::waveform);
    EXPECT_FALSE(m_vm->library().selectedRecording());
    EXPECT_EQ(m_vm->recorder().activeRecordingTitle(), QStringLiteral("New Recording 1"));
    EXPECT_TRUE(m_vm->recorder().liveWaveformPoints().isEmpty());
    EXPECT_EQ(m_meetings->started, 1);
    EXPECT_FALSE(m_meetings->lastMeeting);
    EXPECT_FALSE(m_meetings->lastFromMeeting);
    // A hidden capture file in the library folder, not made yet.
    const QFileInfo capture(m_recorder->startedPath);
    EXPECT_EQ(capture.absolutePath(), QFileInfo(m_storage->storageDirectory()).absoluteFilePath());
    EXPECT_TRUE(capture.fileName().startsWith(QStringLiteral(".recording_")));
    EXPECT_FALSE(capture.exists());
    ASSERT_TRUE(m_recorder->startedMic);
    EXPECT_EQ(m_recorder->startedMic->id, QStringLiteral("builtin"));

    m_recorder->starts.resolve(0);
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));
}

TEST_F(RecordingLifecycle, FailedStartIsReportedAndForgotten)
{
    makeViewModel();
    m_vm->recorder().startNewRecording(QStringLiteral("Interview"));
    m_recorder->starts.failLast(
        Error(QStringLiteral("AudioMixerRecorder"), 1, QStringLiteral("No audio source could be started.")));
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));
    EXPECT_EQ(m_vm->status().exportMessage(),
              QStringLiteral("Failed to start recording: No audio source could be started."));
    EXPECT_FALSE(m_vm->recorder().activeRecordingTitle());
    EXPECT_EQ(m_meetings->stopped, 1);
    // Nothing to stop afterwards.
    m_vm->recorder().stopRecording();
    EXPECT_EQ(m_recorder->stops.count(), 0);
}

TEST_F(RecordingLifecycle, DurationFollowsTheRecorderAndStandsStillWhilePaused)
{
    makeViewModel();
    startRecording();
    m_recorder->duration = 2.5;
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recordingDuration() == 2.5; }));

    m_vm->recorder().pauseResumeRecording();
    EXPECT_EQ(m_recorder->pauses, 1);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::paused);
    m_vm->recorder().pauseResumeRecording();
    EXPECT_EQ(m_recorder->resumes, 1);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::recording);

    m_recorder->duration = 3.0;
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recordingDuration() == 3.0; }));
    stopRecording(3.0, 4096);
    EXPECT_EQ(m_vm->recorder().recordingDuration(), 0);
    // The timer stopped with the recording.
    m_recorder->duration = 7;
    settle();
    EXPECT_EQ(m_vm->recorder().recordingDuration(), 0);
}

TEST_F(RecordingLifecycle, OutOfSightLiveValuesAreCopiedOnlyWhenAskedForOrBackInSight)
{
    makeViewModel();
    startRecording();
    m_recorder->duration = 1.0;
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recordingDuration() == 1.0 && m_recorder->deliveries > 0; }));

    m_vm->recorder().setLiveValuesShown(false);
    const int deliveries = m_recorder->deliveries;
    m_recorder->duration = 2.0;
    waitFor([] { return false; }, 100); // ten ticks of the fixture's timer
    EXPECT_EQ(m_vm->recorder().recordingDuration(), 1.0);
    EXPECT_EQ(m_recorder->deliveries, deliveries);
    // The tray's status line asks once a second.
    m_vm->recorder().refreshRecordingDuration();
    EXPECT_EQ(m_vm->recorder().recordingDuration(), 2.0);

    m_recorder->duration = 3.0;
    m_vm->recorder().setLiveValuesShown(true);
    EXPECT_EQ(m_vm->recorder().recordingDuration(), 3.0) << "at once, not a tick later";
    EXPECT_EQ(m_recorder->deliveries, deliveries + 1);
    m_recorder->duration = 3.5;
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recordingDuration() == 3.5; }));

    // A stop out of sight keeps the time recorded until then while it saves.
    m_vm->recorder().setLiveValuesShown(false);
    m_recorder->duration = 4.0;
    m_vm->recorder().stopRecording();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    EXPECT_EQ(m_vm->recorder().recordingDuration(), 4.0);
}

struct ThresholdCase {
    double duration;
    qint64 bytes;
    bool kept;
};

class KeepThresholds : public ViewModelFixture, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(KeepThresholds, ShortOrSmallRecordingsLeaveNoItemAndNoFile)
{
    makeViewModel();
    startRecording(QStringLiteral("Take"));
    stopRecording(GetParam().duration, GetParam().bytes);

    EXPECT_EQ(m_vm->library().recordings().size(), GetParam().kept ? 1 : 0);
    const QStringList files = QDir(m_storage->storageDirectory()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.size(), GetParam().kept ? 1 : 0) << qPrintable(files.join(QLatin1Char(' ')));
    EXPECT_FALSE(m_vm->status().exportMessage());
}

INSTANTIATE_TEST_SUITE_P(Boundaries, KeepThresholds,
                         ::testing::Values(ThresholdCase{0.39, 50000, false}, ThresholdCase{0.4, 1023, false},
                                           ThresholdCase{0.4, 1024, true}, ThresholdCase{12.0, 1023, false},
                                           ThresholdCase{12.0, 1024, true}));

TEST_F(RecordingLifecycle, StoppedRecordingBecomesTheFirstSelectedItemAndIsTranscribed)
{
    seedLibrary({makeRecording(QStringLiteral("Earlier"), 5)});
    m_settings->setValue(SettingsKeys::lastRecordingType, QStringLiteral("interview"));
    makeViewModel();
    const Date before = Date::now();
    startRecording();
    const Date after = Date::now();
    EXPECT_EQ(m_vm->recorder().activeRecordingType(), RecordingType::interview);
    // A type chosen while recording is the one the item gets.
    m_vm->recorder().setActiveRecordingType(RecordingType::lecture);

    QList<float> amplitudes;
    for (int i = 0; i < 240; ++i)
        amplitudes.append(static_cast<float>(i % 30) / 30.0f);
    stopRecording(5.25, 8000, amplitudes);

    ASSERT_EQ(m_vm->library().recordings().size(), 2);
    const RecordingItem item = m_vm->library().recordings().first();
    EXPECT_EQ(item.title, QStringLiteral("New Recording 1"));
    EXPECT_TRUE(item.fileName.startsWith(QStringLiteral("New Recording 1_")));
    EXPECT_TRUE(QFileInfo::exists(audioPath(item)));
    EXPECT_FALSE(QFileInfo::exists(m_recorder->startedPath));
    EXPECT_EQ(item.duration, 5.25);
    EXPECT_EQ(item.fileSizeBytes, 8000);
    EXPECT_EQ(item.waveformSamples.size(), 120);
    EXPECT_GE(item.createdAt, before);
    EXPECT_LE(item.createdAt, after);
    EXPECT_EQ(item.recordingType, RecordingType::lecture);
    EXPECT_FALSE(item.transcript);
    EXPECT_FALSE(item.summary);

    EXPECT_EQ(m_vm->library().selectedRecording(), item);
    EXPECT_EQ(m_player->currentLoadedURL(), audioPath(item));
    EXPECT_FALSE(m_vm->recorder().activeRecordingTitle());
    EXPECT_EQ(m_meetings->stopped, 1);

    const QList<RecordingItem> saved = savedLibrary();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved.first(), item);

    ASSERT_EQ(m_transcriber->paths.size(), 1);
    EXPECT_EQ(m_transcriber->paths.first(), audioPath(item));
    EXPECT_TRUE(m_vm->processing().transcribingRecordingIDs().contains(item.id));
}

TEST_F(RecordingLifecycle, NoAmplitudesGiveRandomLowBars)
{
    makeViewModel();
    startRecording();
    stopRecording(2.0, 4096, {});
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    const QList<float> bars = m_vm->library().recordings().first().waveformSamples;
    EXPECT_EQ(bars.size(), 120);
    EXPECT_THAT(bars, Each(Ge(0.1f)));
    EXPECT_THAT(bars, Each(Le(0.6f)));
}

TEST_F(RecordingLifecycle, AutomaticTranscriptionCanBeSwitchedOff)
{
    m_settings->setValue(SettingsKeys::autoTranscribe, false);
    makeViewModel();
    startRecording();
    stopRecording(2.0, 4096);
    EXPECT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_TRUE(m_transcriber->paths.isEmpty());
}

TEST_F(RecordingLifecycle, DefaultTitlesCountOnFromTheLibrary)
{
    makeViewModel();
    startRecording();
    stopRecording(2.0, 4096);
    startRecording();
    EXPECT_EQ(m_vm->recorder().activeRecordingTitle(), QStringLiteral("New Recording 2"));
    // A custom title is taken as given, also when empty.
    stopRecording(2.0, 4096);
    startRecording(QString());
    EXPECT_EQ(m_vm->recorder().activeRecordingTitle(), QString());
}

TEST_F(RecordingLifecycle, RenamingTheRunningRecordingNamesItsFile)
{
    makeViewModel();
    startRecording();
    m_vm->recorder().renameActiveRecording(QStringLiteral("  Budget review \n"));
    EXPECT_EQ(m_vm->recorder().activeRecordingTitle(), QStringLiteral("Budget review"));
    m_vm->recorder().renameActiveRecording(QStringLiteral("   "));
    EXPECT_EQ(m_vm->recorder().activeRecordingTitle(), QStringLiteral("Budget review"));

    stopRecording(3.0, 4096);
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Budget review"));
    EXPECT_TRUE(m_vm->library().recordings().first().fileName.startsWith(QStringLiteral("Budget review_")));
}

TEST_F(RecordingLifecycle, RenameCommittedWhileStoppingKeepsTheTypedName)
{
    makeViewModel();
    startRecording(QStringLiteral("Draft"));
    m_recorder->writeCaptureFile(4096);
    m_vm->recorder().stopRecording();
    EXPECT_FALSE(m_vm->recorder().activeRecordingTitle());
    m_vm->recorder().renameActiveRecording(QStringLiteral("Final name"));
    m_recorder->stops.resolveLast(RecorderService::StopResult{3.0, {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));

    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Final name"));
    EXPECT_TRUE(m_vm->library().recordings().first().fileName.startsWith(QStringLiteral("Final name_")));
    // Once idle there is nothing running to rename.
    m_vm->recorder().renameActiveRecording(QStringLiteral("Too late"));
    EXPECT_FALSE(m_vm->recorder().activeRecordingTitle());
}

TEST_F(RecordingLifecycle, RecordingsNamedAlikeNeverReplaceEachOther)
{
    makeViewModel();
    // Same title twice within a second, then titles that sanitize alike.
    const QStringList titles{QStringLiteral("Standup"), QStringLiteral("Standup"), QStringLiteral("a/b"),
                             QStringLiteral("a_b"), QStringLiteral("a:b")};
    for (int i = 0; i < titles.size(); ++i) {
        startRecording(titles.at(i));
        stopRecording(2.0, 2000 + i);
    }
    ASSERT_EQ(m_vm->library().recordings().size(), titles.size());
    QSet<QString> names;
    for (const RecordingItem& item : m_vm->library().recordings()) {
        names.insert(item.fileName);
        EXPECT_EQ(QFileInfo(audioPath(item)).size(), item.fileSizeBytes) << qPrintable(item.fileName);
    }
    EXPECT_EQ(names.size(), titles.size());
}

TEST_F(RecordingLifecycle, NameTakenWhileTheRecorderFinishesIsNotReplaced)
{
    makeViewModel();
    startRecording(QStringLiteral("Sync"));
    m_recorder->writeCaptureFile(6000);
    m_vm->recorder().stopRecording();

    // Someone else takes every name the stop could have picked.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QStringList taken;
    for (qint64 second = now - 2; second <= now + 2; ++second) {
        const QString path = QDir(m_storage->storageDirectory()).filePath(QStringLiteral("Sync_%1.mp3").arg(second));
        writeFile(path, 100);
        taken.append(path);
    }
    m_recorder->stops.resolveLast(RecorderService::StopResult{2.0, {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));

    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    const RecordingItem item = m_vm->library().recordings().first();
    EXPECT_FALSE(taken.contains(audioPath(item)));
    EXPECT_EQ(QFileInfo(audioPath(item)).size(), 6000);
    for (const QString& path : taken)
        EXPECT_EQ(QFileInfo(path).size(), 100) << qPrintable(path);
}

TEST_F(RecordingLifecycle, LongNonLatinTitleGetsAShortenedFileName)
{
    makeViewModel();
    QString title;
    for (int i = 0; i < 150; ++i)
        title += QStringLiteral("会議");
    startRecording(title);
    stopRecording(2.0, 4096);

    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    const RecordingItem item = m_vm->library().recordings().first();
    EXPECT_EQ(item.title, title);
    EXPECT_LE(item.fileName.toUtf8().size(), 255);
    EXPECT_TRUE(title.startsWith(item.fileName.section(QLatin1Char('_'), 0, 0)));
    EXPECT_TRUE(QFileInfo::exists(audioPath(item)));
    EXPECT_FALSE(m_vm->status().exportMessage());
}

TEST_F(RecordingLifecycle, FailedMoveIsReportedAndSavesNothing)
{
    makeViewModel();
    startRecording(QStringLiteral("Lost"));
    // The recorder left no capture file behind.
    m_vm->recorder().stopRecording();
    m_recorder->stops.resolveLast(RecorderService::StopResult{2.0, {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));

    EXPECT_TRUE(m_vm->library().recordings().isEmpty());
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Failed to save recording: No such file or directory"));
}

TEST_F(RecordingLifecycle, FailedStopIsReportedAndTheCaptureStaysForRecovery)
{
    makeViewModel();
    startRecording(QStringLiteral("Full disk"));
    m_recorder->writeCaptureFile(50000);
    m_vm->recorder().stopRecording();
    m_recorder->stops.failLast(Error(QStringLiteral("MP3Encoder"), 28, QStringLiteral("No space left on device")));
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));

    EXPECT_TRUE(m_vm->library().recordings().isEmpty());
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Failed to save recording: No space left on device"));
    EXPECT_TRUE(QFileInfo::exists(m_recorder->startedPath));
    EXPECT_EQ(m_vm->recorder().recordingDuration(), 0);
}

TEST_F(RecordingLifecycle, AWriteErrorStopsTheRecordingAndKeepsWhatWasWritten)
{
    const QString reason = QStringLiteral("Could not write the MP3 file: No space left on device");
    makeViewModel();
    startRecording(QStringLiteral("Full disk"));
    m_recorder->writeCaptureFile(50000);
    m_recorder->emitWriteFailed(reason);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    ASSERT_EQ(m_recorder->stops.count(), 1);
    m_recorder->stops.resolveLast(RecorderService::StopResult{3.5, {0.5f, 0.25f}, reason});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));

    // What was written is a recording of its own, and the status line says
    // why it ended.
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    const RecordingItem item = m_vm->library().recordings().first();
    EXPECT_EQ(item.title, QStringLiteral("Full disk"));
    EXPECT_EQ(item.duration, 3.5);
    EXPECT_TRUE(QFileInfo::exists(audioPath(item)));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recording stopped: ") + reason);

    // A report that comes late changes nothing.
    m_recorder->emitWriteFailed(reason);
    EXPECT_EQ(m_recorder->stops.count(), 1);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::idle);
}

TEST_F(RecordingLifecycle, RecordingTypeOfAnItemCanBeChanged)
{
    RecordingItem item = makeRecording(QStringLiteral("Typed"), 5);
    seedLibrary({item});
    makeViewModel();
    m_vm->library().updateRecordingType(item, RecordingType::brainstorming);
    EXPECT_EQ(m_vm->library().recordings().first().recordingType, RecordingType::brainstorming);
    EXPECT_EQ(m_vm->library().selectedRecording()->recordingType, RecordingType::brainstorming);
    EXPECT_EQ(savedLibrary().first().recordingType, RecordingType::brainstorming);
    EXPECT_EQ(m_vm->recorder().activeRecordingType(), RecordingType::meeting);

    // One that has left the library: nothing is written.
    QFile::remove(m_storage->metadataFile());
    RecordingItem gone = item;
    gone.id = QUuid::createUuid();
    m_vm->library().updateRecordingType(gone, RecordingType::lecture);
    ASSERT_TRUE(m_storage->waitForSaves());
    EXPECT_FALSE(QFileInfo::exists(m_storage->metadataFile()));
}

class StatusMessage : public ViewModelFixture {
protected:
    void SetUp() override
    {
        m_statusClearDelay = std::chrono::milliseconds(300);
        ViewModelFixture::SetUp();
    }
};

// Why a recording stopped, or lost a source, is read before the messages of
// the work that follows (the transcription filing starts) replace it.
TEST_F(StatusMessage, WhyARecordingStoppedKeepsItsTimeAndTheNextMessageFollows)
{
    makeViewModel();
    startRecording(QStringLiteral("Cut short"));
    m_recorder->emitSourceEnded(QStringLiteral("Microphone disconnected — recording system audio only"));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Microphone disconnected — recording system audio only"));
    m_vm->processing().copyRecap(QStringLiteral("meanwhile"));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Microphone disconnected — recording system audio only"));

    m_recorder->writeCaptureFile(50000);
    m_recorder->emitInterrupted(QStringLiteral("The sound server went away."));
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    ASSERT_EQ(m_recorder->stops.count(), 1);
    m_recorder->stops.resolveLast(RecorderService::StopResult{3.5, {0.5f}, std::nullopt});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Cut short"));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recording stopped: The sound server went away."));

    // The transcription fails at once: its message waits for the stop's.
    ASSERT_EQ(m_transcriber->calls.count(), 1);
    m_transcriber->calls.failLast(Error(QStringLiteral("Whisper"), 1, QStringLiteral("model not found")));
    settle();
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recording stopped: The sound server went away."));
    ASSERT_TRUE(waitFor(
        [&] {
            return m_vm->status().exportMessage() != QStringLiteral("Recording stopped: The sound server went away.");
        },
        2000));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcription failed: model not found"));
    ASSERT_TRUE(waitFor([&] { return !m_vm->status().exportMessage(); }, 2000));

    // Reports for a recording that is not running change nothing.
    m_recorder->emitInterrupted(QStringLiteral("The sound server went away."));
    m_recorder->emitSourceEnded(QStringLiteral("Microphone disconnected — recording system audio only"));
    EXPECT_EQ(m_recorder->stops.count(), 1);
    EXPECT_FALSE(m_vm->status().exportMessage());
}

TEST_F(StatusMessage, ClearsAfterItsDelayAndALaterMessageGetsItsFullTime)
{
    makeViewModel();
    m_vm->processing().copyTranscript(QStringLiteral("one"));
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcript copied to clipboard!"));
    ASSERT_TRUE(waitFor([&] { return !m_vm->status().exportMessage(); }, 2000));

    m_vm->processing().copyTranscript(QStringLiteral("two"));
    QThread::msleep(200);
    m_vm->processing().copyRecap(QStringLiteral("three"));
    QThread::msleep(150);
    settle();
    // 350 ms after the first message, 150 ms after the second.
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Recap copied to clipboard!"));
    ASSERT_TRUE(waitFor([&] { return !m_vm->status().exportMessage(); }, 2000));
}

} // namespace
