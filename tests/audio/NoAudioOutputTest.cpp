// A sound server of its own with no output and no microphone.
#include "audio/AudioMixerRecorder.h"
#include "audio/SystemAudioCapture.h"

#include "common/Error.h"
#include "support/PrivatePulseServer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class NoAudioOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new PrivatePulseServer({});
        ASSERT_TRUE(server->start());
        qputenv("PULSE_SERVER", server->address().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    static PrivatePulseServer* server;
};

PrivatePulseServer* NoAudioOutput::server = nullptr;

TEST_F(NoAudioOutput, SystemAudioFailsToStartWithItsOwnError)
{
    EXPECT_FALSE(SystemAudioCapture::hasPermission());
    SystemAudioCapture capture;
    try {
        capture.start().waitForFinished();
        FAIL() << "started without an output";
    } catch (const Error& error) {
        EXPECT_EQ(error.domain(), QStringLiteral("SystemAudioCapture"));
        EXPECT_EQ(error.code(), 1);
        EXPECT_EQ(error.message(), QStringLiteral("No audio output found for system audio capture."));
    }
    EXPECT_FALSE(capture.isRunning());
}

TEST_F(NoAudioOutput, ARecordingWithNothingToRecordFailsToStart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral(".recording_test.tmp"));
    AudioMixerRecorder recorder;
    QFuture<void> started = recorder.startRecording(path, std::nullopt);
    try {
        started.waitForFinished();
        FAIL() << "a recording without sources started";
    } catch (const Error& error) {
        EXPECT_EQ(error.domain(), QStringLiteral("AudioMixerRecorder"));
        EXPECT_EQ(error.message().toStdString(),
                  "No audio source could be started. Microphone: No microphone found. "
                  "System audio: No audio output found for system audio capture.");
    }
    EXPECT_EQ(recorder.state(), RecorderState::idle);
    EXPECT_FALSE(QFile::exists(path));
}
