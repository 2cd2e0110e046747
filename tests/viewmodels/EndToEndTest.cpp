// The whole road with the real parts: the sound server started by scripts/test,
// the mixer recorder, whisper-cli and llama-completion on the tiny generated
// models, and the library on disk.

#include "common/Settings.h"
#include "engines/recap/RecapEngine.h"
#include "engines/speech/WhisperEngine.h"
#include "models/RecordingsStorage.h"
#include "support/PulseTestTools.h"
#include "support/TestEnvironment.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/SettingsKeys.h"

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
    testing::internal::CaptureStdout();

    // No call to follow here; the detector stays quiet.
    Settings::shared().setValue(SettingsKeys::autoDetectMeetings, false);
    RecordingViewModel viewModel;
    ASSERT_TRUE(viewModel.recordings().isEmpty());

    viewModel.startNewRecording();
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] { return viewModel.recorderState() == RecorderState::recording; }, 10000));
    {
        // Into the microphone, after capture has begun.
        PulseTestTools::TonePlayer tone(QStringLiteral("mic_feed"), PulseTestTools::sineTone(440, 2.0));
        ASSERT_TRUE(tone.wait());
    }
    // The recorder keeps about 25 amplitudes a second; six seconds give more
    // than the 120 bars.
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return viewModel.recordingDuration() >= 6.0; }, 15000));
    viewModel.stopRecording();
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] { return viewModel.recorderState() == RecorderState::idle && !viewModel.recordings().isEmpty(); },
        20000));

    ASSERT_EQ(viewModel.recordings().size(), 1);
    const RecordingItem recorded = viewModel.recordings().first();
    EXPECT_EQ(recorded.title, QStringLiteral("New Recording 1"));
    EXPECT_EQ(recorded.waveformSamples.size(), 120);
    EXPECT_GE(recorded.duration, 6.0);
    EXPECT_TRUE(QFileInfo::exists(RecordingsStorage::shared().fileURL(recorded)));
    EXPECT_EQ(viewModel.selectedRecording()->id, recorded.id);

    // Transcribed, then recapped, without being asked.
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] {
            const std::optional<QString>& message = viewModel.exportMessage();
            return viewModel.recordings().first().summary || (message && message->contains(QStringLiteral("failed")));
        },
        180000))
        << qPrintable(viewModel.exportMessage().value_or(QString()));
    const QString printed = QString::fromStdString(testing::internal::GetCapturedStdout());
    EXPECT_FALSE(printed.contains(QStringLiteral("falling back"))) << printed.toStdString();
    const RecordingItem finished = viewModel.recordings().first();
    ASSERT_TRUE(finished.transcript) << qPrintable(viewModel.exportMessage().value_or(QString()));
    ASSERT_TRUE(finished.transcriptSegments);
    EXPECT_FALSE(finished.transcriptSegments->isEmpty());
    ASSERT_TRUE(finished.summary) << qPrintable(viewModel.exportMessage().value_or(QString()));
    EXPECT_FALSE(finished.summary->isEmpty());
    EXPECT_EQ(finished.recordingType, RecordingType::meeting);

    QFile index(RecordingsStorage::shared().metadataFile());
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const auto saved = RecordingsStorage::decodeIndex(index.readAll());
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->size(), 1);
    EXPECT_EQ(saved->first(), finished);
    EXPECT_EQ(saved->first().waveformSamples.size(), 120);

    QFile::remove(RecapEngine::modelPath());
    QFile::remove(speechModel);
}

} // namespace
