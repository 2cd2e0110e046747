// The whole road with the real parts: the sound server started by scripts/test,
// the mixer recorder, whisper-cli and llama-completion on the tiny generated
// models, and the library on disk.

#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "engines/recap/RecapEngine.h"
#include "engines/speech/WhisperEngine.h"
#include "models/RecordingsStorage.h"
#include "support/PulseTestTools.h"
#include "support/TestEnvironment.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/StatusLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

void installModel(const QString& generated, const QString& installed)
{
    ASSERT_TRUE(QFileInfo::exists(generated)) << generated.toStdString();
    QFile::remove(installed);
    ASSERT_TRUE(QFile::link(generated, installed)) << installed.toStdString();
}

QString generatedModel(const QString& relativePath)
{
    return QDir(TestEnvironment::binaryDir()).filePath(relativePath);
}

TEST(EndToEnd, RecordedToneBecomesATranscribedAndRecappedLibraryItem)
{
    installModel(generatedModel(QStringLiteral("tests/engines/tiny-llama.gguf")), RecapEngine::modelPath());
    const QString speechModel
        = QDir(WhisperEngine::shared().modelsDirectory()).filePath(WhisperEngine::turboModelFileName);
    installModel(generatedModel(QStringLiteral("tests/models/tiny-whisper.bin")), speechModel);
    WhisperEngine::shared().checkModelAvailability();

    // whisper-cli itself, not the linked library it falls back to.
    const QString whisperCli = QDir(TestEnvironment::depsDir()).filePath(QStringLiteral("whisper/bin/whisper-cli"));
    ASSERT_TRUE(QFileInfo(whisperCli).isExecutable()) << "scripts/setup builds " << whisperCli.toStdString();

    // No call to follow here; the detector stays quiet.
    Settings::shared().setValue(SettingsKeys::autoDetectMeetings, false);
    RecordingViewModel viewModel;
    ASSERT_TRUE(viewModel.library().recordings().isEmpty());
    // The microphone alone is mixed in fixed steps, so the number of amplitudes
    // does not depend on how the sound server happens to deliver.
    viewModel.recorder().setIsSystemAudioEnabled(false);

    viewModel.recorder().startNewRecording();
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] { return viewModel.recorder().recorderState() == RecorderState::recording; }, 10000));
    {
        // Into the microphone, after capture has begun.
        PulseTestTools::TonePlayer tone(QStringLiteral("mic_feed"), PulseTestTools::sineTone(440, 2.0));
        ASSERT_TRUE(tone.wait());
    }
    // About 77 amplitudes a second: plenty for 120 bars.
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return viewModel.recorder().recordingDuration() >= 4.0; }, 15000));
    testing::internal::CaptureStdout();
    viewModel.recorder().stopRecording();
    const bool saved = TestEnvironment::waitUntil(
        [&] {
            return viewModel.recorder().recorderState() == RecorderState::idle
                && !viewModel.library().recordings().isEmpty();
        },
        20000);
    // Transcribed, then recapped, without being asked.
    const bool recapped = saved && TestEnvironment::waitUntil(
        [&] {
            const std::optional<QString>& message = viewModel.status().exportMessage();
            return viewModel.library().recordings().first().summary
                || (message && message->contains(QStringLiteral("failed")));
        },
        180000);
    const QString printed = QString::fromStdString(testing::internal::GetCapturedStdout());
    ASSERT_TRUE(saved);
    ASSERT_TRUE(recapped) << qPrintable(viewModel.status().exportMessage().value_or(QString()));
    EXPECT_FALSE(printed.contains(QStringLiteral("falling back"))) << printed.toStdString();

    ASSERT_EQ(viewModel.library().recordings().size(), 1);
    const RecordingItem item = viewModel.library().recordings().first();
    EXPECT_EQ(item.title, QStringLiteral("New Recording 1"));
    EXPECT_EQ(item.waveformSamples.size(), 120);
    EXPECT_GE(item.duration, 4.0);
    EXPECT_TRUE(QFileInfo::exists(RecordingsStorage::shared().fileURL(item)));
    EXPECT_EQ(viewModel.library().selectedRecording()->id, item.id);
    ASSERT_TRUE(item.transcript);
    ASSERT_TRUE(item.transcriptSegments);
    EXPECT_FALSE(item.transcriptSegments->isEmpty());
    ASSERT_TRUE(item.summary);
    EXPECT_FALSE(item.summary->isEmpty());
    EXPECT_EQ(item.recordingType, RecordingType::meeting);

    ASSERT_TRUE(RecordingsStorage::shared().waitForSaves());
    QFile index(RecordingsStorage::shared().metadataFile());
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const auto stored = RecordingsStorage::decodeIndex(index.readAll());
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 1);
    EXPECT_EQ(stored->first(), item);

    QFile::remove(RecapEngine::modelPath());
    QFile::remove(speechModel);
}

} // namespace
