// A sound server of its own, which comes late, goes away during a recording
// and loses a microphone during one; the shared test server is never touched.
#include "audio/AudioDeviceManager.h"
#include "audio/AudioMixerRecorder.h"

#include "common/Error.h"
#include "platform/media/Mp3Decoder.h"
#include "platform/pulse/PulseContext.h"
#include "support/PrivatePulseServer.h"
#include "support/PulseTestTools.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

using TestEnvironment::waitUntil;

namespace {

const QString micName = QStringLiteral("private_mic");

void runFor(int ms)
{
    waitUntil([] { return false; }, ms);
}

template <typename T>
T await(QFuture<T> future)
{
    EXPECT_TRUE(waitUntil([&] { return future.isFinished(); }, 15000));
    if constexpr (std::is_void_v<T>)
        future.waitForFinished();
    else
        return future.result();
}

bool lists(const AudioDeviceManager& manager, const QString& id)
{
    const QList<AudioDevice>& mics = manager.availableMics();
    return std::any_of(mics.begin(), mics.end(), [&](const AudioDevice& d) { return d.id == id; });
}

class SoundServerLoss : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Which kind of server to start is read from the shared one first.
        PulseTestTools::isPipeWire();
        server = new PrivatePulseServer({QStringLiteral("load-module module-null-sink sink_name=private_out"),
                                         QStringLiteral("set-default-sink private_out")});
        // Not started: the process meets no server at first.
        qputenv("PULSE_SERVER", server->address().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    // Each test begins without a server, and the connection knows it.
    void TearDown() override
    {
        server->stop();
        EXPECT_TRUE(waitUntil([] { return !PulseContext::shared().isConnected(); }, 5000));
    }

    void startServer()
    {
        ASSERT_TRUE(server->start());
        ASSERT_TRUE(waitUntil([] { return PulseContext::shared().isConnected(); }, 10000));
    }

    // A microphone that can be unplugged: its module's index.
    int plugMicrophone()
    {
        const PulseTestTools::ModuleLoad load = PulseTestTools::nullSource(micName, QStringLiteral("Private_Mic"));
        return PulseTestTools::loadModule(load.module, load.arguments);
    }

    QString outputPath() const { return m_dir.filePath(QStringLiteral(".recording_test.tmp")); }

    // Seconds of audio in the recording's file; 0 when it does not decode.
    double decodedSeconds() const
    {
        const double seconds = Mp3Decoder::durationOf(outputPath());
        return std::isfinite(seconds) ? seconds : 0;
    }

    static PrivatePulseServer* server;
    QTemporaryDir m_dir;
};

PrivatePulseServer* SoundServerLoss::server = nullptr;

} // namespace

// First: the process's connection is made here, with nothing to connect to.
TEST_F(SoundServerLoss, WithoutAServerNothingThrowsAndAServerThatComesIsUsed)
{
    AudioDeviceManager manager;
    EXPECT_FALSE(manager.isSoundServerReachable());
    EXPECT_TRUE(manager.availableMics().isEmpty());
    EXPECT_EQ(manager.selectedMicDevice(), std::nullopt);
    runFor(2000); // the poll and the reconnection attempts meet no server either

    AudioMixerRecorder recorder;
    try {
        await(recorder.startRecording(outputPath(), std::nullopt));
        FAIL() << "started without a sound server";
    } catch (const Error& error) {
        EXPECT_EQ(error.domain(), QStringLiteral("AudioMixerRecorder"));
        EXPECT_EQ(error.code(), 2);
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("No sound server is running: ")))
            << error.message().toStdString();
    }
    EXPECT_EQ(recorder.state(), RecorderState::idle);
    EXPECT_FALSE(QFile::exists(outputPath()));

    startServer();
    const int mic = plugMicrophone();
    ASSERT_TRUE(waitUntil([&] { return manager.isSoundServerReachable() && lists(manager, micName); }, 10000));
    EXPECT_EQ(manager.selectedMicID(), micName);

    await(recorder.startRecording(outputPath(), manager.selectedMicDevice()));
    ASSERT_EQ(recorder.state(), RecorderState::recording);
    runFor(2000);
    const AudioMixerRecorder::StopResult result = await(recorder.stopRecording());
    EXPECT_GE(result.duration, 1.9);
    EXPECT_GE(decodedSeconds(), 1.5);
    PulseTestTools::unloadModule(mic);
}

TEST_F(SoundServerLoss, AServerGoneDuringARecordingEndsItWithWhatItHas)
{
    AudioMixerRecorder recorder;
    std::optional<QString> interruption;
    recorder.onInterrupted = [&](const QString& reason) { interruption = reason; };
    // Paused or recording alike.
    for (const bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "recording");
        interruption.reset();
        startServer();
        plugMicrophone(); // goes with the server
        await(recorder.startRecording(outputPath(), AudioDevice{micName, QString(), true}));
        ASSERT_EQ(recorder.state(), RecorderState::recording);
        runFor(2500);
        if (paused)
            recorder.pauseRecording();

        server->stop();
        ASSERT_TRUE(waitUntil([&] { return interruption.has_value(); }, 5000));
        EXPECT_FALSE(PulseContext::shared().isConnected());
        EXPECT_EQ(*interruption, QStringLiteral("The sound server went away."));
        const AudioMixerRecorder::StopResult result = await(recorder.stopRecording());
        EXPECT_FALSE(result.writeError.has_value());
        EXPECT_GE(result.duration, 2.0);
        // The file is whole: it decodes, as long as what was recorded.
        EXPECT_GE(decodedSeconds(), 1.5);
        EXPECT_LE(decodedSeconds(), result.duration + 0.5);
        EXPECT_EQ(recorder.state(), RecorderState::idle);
    }
}

TEST_F(SoundServerLoss, AnUnpluggedMicrophoneLeavesTheRestRecording)
{
    startServer();
    AudioMixerRecorder recorder;
    std::optional<QString> interruption;
    QStringList sourceMessages;
    recorder.onInterrupted = [&](const QString& reason) { interruption = reason; };
    recorder.onSourceEnded = [&](const QString& message) { sourceMessages.append(message); };

    // With system audio on, the recording goes on without the microphone.
    int mic = plugMicrophone();
    await(recorder.startRecording(outputPath(), AudioDevice{micName, QString(), true}));
    ASSERT_EQ(recorder.state(), RecorderState::recording);
    runFor(1500);
    PulseTestTools::unloadModule(mic);
    ASSERT_TRUE(waitUntil([&] { return !sourceMessages.isEmpty(); }, 5000));
    EXPECT_EQ(sourceMessages, QStringList{QStringLiteral("Microphone disconnected — recording system audio only")});
    runFor(1500);
    EXPECT_FALSE(interruption.has_value());
    EXPECT_EQ(recorder.state(), RecorderState::recording);
    const AudioMixerRecorder::StopResult result = await(recorder.stopRecording());
    // What came after the microphone went is in the file too.
    EXPECT_GE(decodedSeconds(), result.duration - 1.0);

    // With the microphone alone, nothing is left to record.
    sourceMessages.clear();
    recorder.setSystemAudioEnabled(false);
    mic = plugMicrophone();
    await(recorder.startRecording(outputPath(), AudioDevice{micName, QString(), true}));
    ASSERT_EQ(recorder.state(), RecorderState::recording);
    runFor(1500);
    PulseTestTools::unloadModule(mic);
    ASSERT_TRUE(waitUntil([&] { return interruption.has_value(); }, 5000));
    EXPECT_EQ(*interruption, QStringLiteral("The microphone was disconnected."));
    EXPECT_TRUE(sourceMessages.isEmpty());
    await(recorder.stopRecording());
    EXPECT_GE(decodedSeconds(), 1.0);
}
