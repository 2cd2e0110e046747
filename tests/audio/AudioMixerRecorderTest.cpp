#include "audio/AudioMixerRecorder.h"

#include "common/Error.h"
#include "platform/media/Mp3Decoder.h"
#include "support/PulseTestTools.h"
#include "support/TemporaryModule.h"
#include "support/TestEnvironment.h"
#include "support/ToneDetector.h"

#include "SmallFileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <cmath>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace PulseTestTools;

namespace {

const AudioDevice testMic{QStringLiteral("test_mic"), QStringLiteral("Test_Microphone"), true};
constexpr double systemTone = 440;
constexpr double micTone = 660;

std::vector<int16_t> decode(const QString& path)
{
    Mp3Decoder decoder;
    if (!decoder.open(path, Mp3Decoder::SampleFormat::Int16, Mp3Decoder::Channels::Stereo))
        return {};
    std::vector<int16_t> samples;
    std::vector<int16_t> block(4096 * 2);
    for (;;) {
        const int64_t frames = decoder.read(block.data(), 4096);
        if (frames <= 0)
            break;
        samples.insert(samples.end(), block.begin(), block.begin() + frames * 2);
    }
    return samples;
}

// Spins the event loop for `ms` milliseconds, so main-thread reports arrive.
void runFor(int ms)
{
    TestEnvironment::waitUntil([] { return false; }, ms);
}

template <typename T>
T await(QFuture<T> future)
{
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return future.isFinished(); }, 15000));
    if constexpr (std::is_void_v<T>)
        future.waitForFinished();
    else
        return future.result();
}

class AudioMixerRecorderTest : public ::testing::Test {
protected:
    AudioMixerRecorderTest()
    {
        // As a window that shows the live values asks for them.
        m_pull.setInterval(100);
        QObject::connect(&m_pull, &QTimer::timeout, &m_recorder, [this] { m_recorder.deliverLiveValues(); });
        m_pull.start();
    }

    QString outputPath() const { return m_dir.filePath(QStringLiteral(".recording_test.tmp")); }

    QTemporaryDir m_dir;
    AudioMixerRecorder m_recorder;
    QTimer m_pull;
};

} // namespace

TEST_F(AudioMixerRecorderTest, RecordsTheEnabledSourcesIntoOneFile)
{
    struct Case {
        const char* name;
        bool mic;
        bool system;
    };
    for (const Case& c : {Case{"both", true, true}, Case{"microphone only", true, false},
                          Case{"system only", false, true}}) {
        SCOPED_TRACE(c.name);
        m_recorder.setMicEnabled(c.mic);
        m_recorder.setSystemAudioEnabled(c.system);
        size_t mixingSteps = 0;
        m_recorder.onMixedAudioSamples = [&](const std::vector<int16_t>&) { ++mixingSteps; };

        // Capture runs before the tones play, and longer than they do.
        QElapsedTimer sinceStart;
        sinceStart.start();
        await(m_recorder.startRecording(outputPath(), testMic));
        ASSERT_EQ(m_recorder.state(), RecorderState::recording);
        TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 1.5));
        TonePlayer mic(QStringLiteral("mic_feed"), sineTone(micTone, 1.5));
        runFor(3000);
        const QFuture<AudioMixerRecorder::StopResult> stopped = m_recorder.stopRecording();
        const double elapsed = double(sinceStart.elapsed()) / 1000;
        const AudioMixerRecorder::StopResult result = await(stopped);
        EXPECT_EQ(m_recorder.state(), RecorderState::idle);

        EXPECT_NEAR(result.duration, elapsed, 0.1);
        // Three seconds and the start, which takes longer on PipeWire.
        EXPECT_GE(result.duration, 2.9);
        EXPECT_EQ(result.amplitudes.size(), mixingSteps) << "one amplitude per mixing step";
        EXPECT_GT(mixingSteps, 0u);
        for (float amplitude : result.amplitudes) {
            EXPECT_GE(amplitude, 0.05f);
            EXPECT_LE(amplitude, 1.0f);
        }

        const std::vector<int16_t> audio = decode(outputPath());
        ASSERT_FALSE(audio.empty());
        const double systemLevel = ToneDetector::peakAmplitude(audio, 2, 44100, systemTone);
        const double micLevel = ToneDetector::peakAmplitude(audio, 2, 44100, micTone);
        if (c.system)
            EXPECT_GT(systemLevel, 0.2);
        else
            EXPECT_LT(systemLevel, 0.02);
        if (c.mic)
            EXPECT_GT(micLevel, 0.2);
        else
            EXPECT_LT(micLevel, 0.02);
        EXPECT_TRUE(system.wait());
        EXPECT_TRUE(mic.wait());
    }
}

TEST_F(AudioMixerRecorderTest, LeavesPausesOutOfTheDuration)
{
    // One second of recording, one of pause, one more of recording; the
    // expectations use the times measured here, so a slow machine does not
    // turn a late wake-up into a wrong duration.
    m_recorder.setMicEnabled(false);
    QElapsedTimer sinceStart;
    sinceStart.start();
    await(m_recorder.startRecording(outputPath(), testMic));
    runFor(1000);
    m_recorder.pauseRecording();
    const double recordedBeforePause = double(sinceStart.elapsed()) / 1000;
    EXPECT_EQ(m_recorder.state(), RecorderState::paused);
    const double atPause = m_recorder.currentRecordingDuration();
    EXPECT_NEAR(atPause, recordedBeforePause, 0.1);
    QElapsedTimer sincePause;
    sincePause.start();
    runFor(1000);
    EXPECT_DOUBLE_EQ(m_recorder.currentRecordingDuration(), atPause);
    m_recorder.resumeRecording();
    const double paused = double(sincePause.elapsed()) / 1000;
    EXPECT_EQ(m_recorder.state(), RecorderState::recording);
    runFor(1000);
    const QFuture<AudioMixerRecorder::StopResult> stopped = m_recorder.stopRecording();
    const double recorded = double(sinceStart.elapsed()) / 1000 - paused;
    const AudioMixerRecorder::StopResult result = await(stopped);
    EXPECT_NEAR(result.duration, recorded, 0.1);
    EXPECT_NEAR(result.duration, 2.0, 0.25);
    EXPECT_EQ(m_recorder.currentRecordingDuration(), 0.0);
}

TEST_F(AudioMixerRecorderTest, EveryStopReportsSilenceOnceTheFileIsClosed)
{
    m_recorder.setMicEnabled(false);
    QList<QPair<float, float>> levels;
    double lengthAtSilence = -1;
    m_recorder.onLevelsUpdate = [&](float mic, float sys) {
        levels.append({mic, sys});
        if (mic == 0 && sys == 0)
            lengthAtSilence = Mp3Decoder::durationOf(outputPath());
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        levels.clear();
        lengthAtSilence = -1;
        // A tone that outlasts the recording keeps every real report above zero.
        TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 5.0));
        await(m_recorder.startRecording(outputPath(), testMic));
        // A new stream's first data can take two seconds to arrive.
        runFor(3000);
        ASSERT_FALSE(levels.isEmpty()) << "levels are reported while recording";
        const qsizetype atStop = levels.size();
        await(m_recorder.stopRecording());
        runFor(200);
        ASSERT_GT(levels.size(), atStop);
        EXPECT_EQ(levels.last(), qMakePair(0.0f, 0.0f));
        EXPECT_EQ(levels.mid(atStop).count(qMakePair(0.0f, 0.0f)), 1);
        EXPECT_GT(lengthAtSilence, 0.5);
        EXPECT_DOUBLE_EQ(lengthAtSilence, Mp3Decoder::durationOf(outputPath()));
    }
}

TEST_F(AudioMixerRecorderTest, KeepsLiveValuesUntilAskedAndThenHandsThemAllOver)
{
    // Out of sight nobody asks: nothing wakes the main thread meanwhile.
    m_pull.stop();
    QList<float> samples;
    int levelReports = 0;
    m_recorder.onLiveWaveformSample = [&](float sample) { samples.append(sample); };
    m_recorder.onLevelsUpdate = [&](float, float) { ++levelReports; };
    m_recorder.setMicEnabled(false);
    TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 5.0));
    await(m_recorder.startRecording(outputPath(), testMic));
    // Past the server's first data, which can take two seconds.
    runFor(3500);
    EXPECT_TRUE(samples.isEmpty());
    EXPECT_EQ(levelReports, 0);
    m_recorder.deliverLiveValues();
    // A thirtieth of a second of sound each: all that came, in one go.
    EXPECT_GE(samples.size(), 30);
    EXPECT_LE(samples.size(), 3 * 35);
    EXPECT_EQ(levelReports, 1);
    await(m_recorder.stopRecording());
}

TEST_F(AudioMixerRecorderTest, SendsLiveWaveformSamplesToTheMainThread)
{
    QList<float> samples;
    bool onMainThread = true;
    m_recorder.onLiveWaveformSample = [&](float sample) {
        samples.append(sample);
        onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
    };
    m_recorder.setMicEnabled(false);
    TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 4.0));
    await(m_recorder.startRecording(outputPath(), testMic));
    runFor(3000);
    const auto result = await(m_recorder.stopRecording());
    runFor(100);
    EXPECT_TRUE(onMainThread);
    ASSERT_FALSE(samples.isEmpty());
    // At most about 30 a second, fewer than the mixing steps.
    EXPECT_LE(samples.size(), 3 * 31 + 5);
    EXPECT_LT(size_t(samples.size()), result.amplitudes.size());
    for (float sample : samples) {
        EXPECT_GE(sample, 0.05f);
        EXPECT_LE(sample, 1.0f);
    }
}

TEST_F(AudioMixerRecorderTest, FailsToStartWhenNoEnabledSourceStarts)
{
    struct Case {
        const char* name;
        bool system;
        std::optional<AudioDevice> mic;
    };
    const AudioDevice gone{QStringLiteral("no_such_mic"), QStringLiteral("Gone"), false};
    for (const Case& c : {Case{"no microphone", false, std::nullopt}, Case{"a missing microphone", false, gone}}) {
        SCOPED_TRACE(c.name);
        AudioMixerRecorder recorder;
        recorder.setSystemAudioEnabled(c.system);
        try {
            await(recorder.startRecording(outputPath(), c.mic));
            ADD_FAILURE() << "started with nothing to record";
        } catch (const Error& error) {
            EXPECT_EQ(error.domain(), QStringLiteral("AudioMixerRecorder"));
            EXPECT_EQ(error.code(), 1);
            EXPECT_TRUE(error.message().contains(QStringLiteral("Microphone: "))) << error.message().toStdString();
        }
        EXPECT_EQ(recorder.state(), RecorderState::idle);
        EXPECT_FALSE(QFile::exists(outputPath()));
        EXPECT_EQ(recorder.currentRecordingDuration(), 0.0);
        // Nothing was left running: a later start with a microphone works.
        await(recorder.startRecording(outputPath(), testMic));
        EXPECT_EQ(recorder.state(), RecorderState::recording);
        await(recorder.stopRecording());
    }
}

TEST_F(AudioMixerRecorderTest, GoesOnWithTheSourcesThatStarted)
{
    // The microphone fails, the system audio runs: a recording of the system audio.
    await(m_recorder.startRecording(outputPath(), std::nullopt));
    EXPECT_EQ(m_recorder.state(), RecorderState::recording);
    TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 1.0));
    runFor(3000);
    const auto result = await(m_recorder.stopRecording());
    EXPECT_FALSE(result.amplitudes.empty());
    EXPECT_GT(ToneDetector::peakAmplitude(decode(outputPath()), 2, 44100, systemTone), 0.2);
}

TEST_F(AudioMixerRecorderTest, WithBothSourcesOffRecordsNothingButTime)
{
    m_recorder.setMicEnabled(false);
    m_recorder.setSystemAudioEnabled(false);
    QElapsedTimer sinceStart;
    sinceStart.start();
    await(m_recorder.startRecording(outputPath(), testMic));
    EXPECT_EQ(m_recorder.state(), RecorderState::recording);
    EXPECT_TRUE(QFile::exists(outputPath()));
    runFor(500);
    const QFuture<AudioMixerRecorder::StopResult> stopped = m_recorder.stopRecording();
    const double elapsed = double(sinceStart.elapsed()) / 1000;
    const auto result = await(stopped);
    EXPECT_NEAR(result.duration, elapsed, 0.1);
    EXPECT_TRUE(result.amplitudes.empty());
}

TEST_F(AudioMixerRecorderTest, IgnoresCallsThatDoNotFitItsState)
{
    int levelReports = 0;
    m_recorder.onLevelsUpdate = [&](float, float) { ++levelReports; };
    m_recorder.setMicEnabled(false);
    m_recorder.setSystemAudioEnabled(false);

    // Stop while idle: nothing, not even the closing level report.
    const auto idleStop = await(m_recorder.stopRecording());
    EXPECT_EQ(idleStop.duration, 0.0);
    EXPECT_TRUE(idleStop.amplitudes.empty());
    m_recorder.pauseRecording();
    m_recorder.resumeRecording();
    EXPECT_EQ(m_recorder.state(), RecorderState::idle);
    runFor(100);
    EXPECT_EQ(levelReports, 0);

    await(m_recorder.startRecording(outputPath(), testMic));
    // A second start while recording changes nothing.
    const QString otherPath = m_dir.filePath(QStringLiteral("other.mp3"));
    await(m_recorder.startRecording(otherPath, testMic));
    EXPECT_FALSE(QFile::exists(otherPath));
    m_recorder.updateSelectedMic(std::nullopt);
    m_recorder.resumeRecording();
    EXPECT_EQ(m_recorder.state(), RecorderState::recording);
    await(m_recorder.stopRecording());
}

TEST_F(AudioMixerRecorderTest, AFileThatCannotBeWrittenIsReportedOnceAndByTheStop)
{
    m_recorder.setMicEnabled(false);
    QStringList failures;
    m_recorder.onWriteFailed = [&](const QString& reason) { failures.append(reason); };
    TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 2.0));
    await(m_recorder.startRecording(outputPath(), testMic));
    // The file's descriptor now leads to a full device, as on a full disk.
    int fd = -1;
    const QString target = QFileInfo(outputPath()).canonicalFilePath();
    for (const QFileInfo& entry : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files))
        if (entry.symLinkTarget() == target)
            fd = entry.fileName().toInt();
    ASSERT_GE(fd, 0);
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    ASSERT_EQ(::dup2(full, fd), fd);
    ::close(full);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !failures.isEmpty(); }, 5000));
    runFor(300);
    EXPECT_EQ(failures.size(), 1) << "said once, at the first error";
    EXPECT_TRUE(failures.first().contains(QString::fromLocal8Bit(strerror(ENOSPC)))) << failures.first().toStdString();

    const AudioMixerRecorder::StopResult result = await(m_recorder.stopRecording());
    ASSERT_TRUE(result.writeError.has_value()) << "a file that was never written passed as saved";
    EXPECT_EQ(result.writeError->domain(), QStringLiteral("MP3Encoder"));
    EXPECT_EQ(result.writeError->code(), 2);
    EXPECT_LT(result.duration, 0.5) << "no longer than what reached the file";
    EXPECT_EQ(m_recorder.state(), RecorderState::idle);
}

TEST_F(AudioMixerRecorderTest, StopsWritingAtAFullDiskAndLeavesAPlayableFile)
{
    SmallFileSystem disk(64);
    if (!disk.isMounted())
        GTEST_SKIP() << "mounting a small file system needs root";
    const QString path = disk.filePath(QStringLiteral(".recording_full.tmp"));
    QString failure;
    m_recorder.onWriteFailed = [&](const QString& reason) { failure = reason; };
    TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 8.0));
    TonePlayer mic(QStringLiteral("mic_feed"), sineTone(micTone, 8.0));
    await(m_recorder.startRecording(path, testMic));
    // 192 kbit/s fill 64 KiB in under three seconds.
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !failure.isEmpty(); }, 7000));
    EXPECT_TRUE(failure.contains(QString::fromLocal8Bit(strerror(ENOSPC)))) << failure.toStdString();
    const AudioMixerRecorder::StopResult result = await(m_recorder.stopRecording());
    ASSERT_TRUE(result.writeError.has_value());

    // The file decodes to its end, holds the tones, and its length is the
    // recording's duration.
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(path, Mp3Decoder::SampleFormat::Int16, Mp3Decoder::Channels::Stereo));
    std::vector<int16_t> audio;
    std::vector<int16_t> block(4096 * 2);
    int64_t read = 0;
    while ((read = decoder.read(block.data(), 4096)) > 0)
        audio.insert(audio.end(), block.begin(), block.begin() + read * 2);
    EXPECT_EQ(read, 0) << "no decoding error at the end";
    const double seconds = double(audio.size() / 2) / 44100;
    EXPECT_GT(seconds, 1.0);
    EXPECT_NEAR(result.duration, Mp3Decoder::durationOf(path), 0.01);
    EXPECT_GT(ToneDetector::peakAmplitude(audio, 2, 44100, systemTone), 0.2);
}

TEST_F(AudioMixerRecorderTest, SystemAudioFollowsTheDefaultOutputWithoutAGap)
{
    // Two outputs, each playing its own tone; the recording starts on the
    // first, the default moves to the second and back, and then the followed
    // output goes away.
    constexpr double firstTone = 523;
    constexpr double secondTone = 784;
    const auto setDefault = [](const QString& sink) {
        pactl({QStringLiteral("set-default-sink"), sink});
        for (int attempt = 0; attempt < 40 && pactl({QStringLiteral("get-default-sink")}) != sink; ++attempt)
            QThread::msleep(50);
    };
    TemporaryModule first(QStringLiteral("module-null-sink"), {QStringLiteral("sink_name=first_out")},
                          {QStringLiteral("set-default-sink"), QStringLiteral("test_sink")});
    TemporaryModule second(QStringLiteral("module-null-sink"), {QStringLiteral("sink_name=second_out")});
    setDefault(QStringLiteral("first_out"));
    TonePlayer firstPlayer(QStringLiteral("first_out"), sineTone(firstTone, 15), 1000);
    TonePlayer secondPlayer(QStringLiteral("second_out"), sineTone(secondTone, 15), 1000);
    TonePlayer mic(QStringLiteral("mic_feed"), sineTone(micTone, 15), 1000);
    std::atomic<size_t> mixedSamples = 0;
    m_recorder.onMixedAudioSamples = [&](const std::vector<int16_t>& samples) { mixedSamples += samples.size(); };
    const auto mixedSeconds = [&] { return double(mixedSamples / 2) / 44100; };

    await(m_recorder.startRecording(outputPath(), testMic));
    runFor(3000);
    const double toSecond = mixedSeconds();
    setDefault(QStringLiteral("second_out"));
    runFor(3000);
    const double backToFirst = mixedSeconds();
    setDefault(QStringLiteral("first_out"));
    runFor(3000);
    const double firstGone = mixedSeconds();
    first.remove();
    runFor(2000);
    const AudioMixerRecorder::StopResult result = await(m_recorder.stopRecording());
    EXPECT_FALSE(result.writeError.has_value());

    const std::vector<int16_t> audio = decode(outputPath());
    const auto level = [&](double hz, double from, double seconds) {
        return ToneDetector::amplitude(audio, 2, 44100, hz, size_t(from * 44100), size_t(seconds * 44100));
    };
    struct Switch {
        const char* name;
        double at;
        double before;
        double after;
    };
    for (const Switch& sw : {Switch{"to the second output", toSecond, firstTone, secondTone},
                             Switch{"back to the first", backToFirst, secondTone, firstTone}}) {
        SCOPED_TRACE(sw.name);
        EXPECT_GT(level(sw.before, sw.at - 1.0, 0.8), 0.2) << "the old output before the switch";
        EXPECT_GT(level(sw.after, sw.at + 1.2, 0.8), 0.2) << "the new output after it";
        // No stretch of a second or more around the switch without either.
        double silentSince = -1;
        for (double t = sw.at - 0.5; t < sw.at + 2.0; t += 0.05) {
            const bool heard = level(sw.before, t, 0.05) > 0.1 || level(sw.after, t, 0.05) > 0.1;
            if (heard)
                silentSince = -1;
            else if (silentSince < 0)
                silentSince = t;
            EXPECT_FALSE(silentSince >= 0 && t + 0.05 - silentSince > 1.0) << "a gap from " << silentSince << " s";
        }
    }
    // The followed output went away and the recording went on, microphone
    // and all, to the end.
    const double seconds = double(audio.size() / 2) / 44100;
    EXPECT_GT(seconds, firstGone + 1.5);
    EXPECT_GT(level(micTone, seconds - 1.0, 0.8), 0.2);
}

namespace {

// The largest second difference a sine of `amplitude` (of full scale) at
// `hz` has: anything above it, and above what the MP3 coding adds, is a jump.
double sineCurvature(double amplitude, double hz)
{
    return 32767 * amplitude * 2 * (1 - std::cos(2 * M_PI * hz / 44100));
}

// Start times (seconds) of the places in [fromSeconds, toSeconds) where a
// channel's second difference exceeds `limit`; places within 50 ms count once.
std::vector<double> jumpsIn(const std::vector<int16_t>& stereo, double fromSeconds, double toSeconds, double limit)
{
    const size_t first = std::max<size_t>(size_t(fromSeconds * 44100), 1);
    const size_t end = std::min(size_t(toSeconds * 44100), stereo.size() / 2 - 1);
    std::vector<double> jumps;
    for (size_t i = first; i < end; ++i) {
        for (size_t channel = 0; channel < 2; ++channel) {
            const double d2 = double(stereo[2 * (i + 1) + channel]) - 2.0 * stereo[2 * i + channel]
                + double(stereo[2 * (i - 1) + channel]);
            const double at = double(i) / 44100;
            if (std::abs(d2) > limit && (jumps.empty() || at - jumps.back() > 0.05))
                jumps.push_back(at);
        }
    }
    return jumps;
}

} // namespace

TEST_F(AudioMixerRecorderTest, KeepsASteadyToneFreeOfJumps)
{
    // Steady sines, playing before the recording starts and after it ends,
    // with players that a busy machine cannot starve. The first seconds, where
    // a monitor's first data may still be on its way, are left out.
    struct Case {
        const char* name;
        bool mic;
        bool system;
        bool pause; // for a second, halfway; its seam is left out
    };
    constexpr double amplitude = 0.3; // both mixed stay below the soft clip
    for (const Case& c : {Case{"both, paused once", true, true, true}, Case{"microphone only", true, false, false},
                          Case{"system only", false, true, false}}) {
        SCOPED_TRACE(c.name);
        m_recorder.setMicEnabled(c.mic);
        m_recorder.setSystemAudioEnabled(c.system);
        std::atomic<size_t> mixedSamples = 0;
        m_recorder.onMixedAudioSamples = [&](const std::vector<int16_t>& samples) { mixedSamples += samples.size(); };
        TonePlayer system(QStringLiteral("test_sink"), sineTone(systemTone, 14, amplitude), 1000);
        TonePlayer mic(QStringLiteral("mic_feed"), sineTone(micTone, 14, amplitude), 1000);
        runFor(300);
        await(m_recorder.startRecording(outputPath(), testMic));
        double seam = -1;
        if (c.pause) {
            runFor(5000);
            m_recorder.pauseRecording();
            seam = double(mixedSamples / 2) / 44100;
            runFor(1000);
            m_recorder.resumeRecording();
            runFor(5000);
        } else {
            runFor(10000);
        }
        await(m_recorder.stopRecording());

        const std::vector<int16_t> audio = decode(outputPath());
        const double seconds = double(audio.size() / 2) / 44100;
        ASSERT_GT(seconds, 7.0) << "most of the ten seconds are in the file";
        const double limit = 1.5
                * ((c.mic ? m_recorder.micGain() * sineCurvature(amplitude, micTone) : 0)
                   + (c.system ? m_recorder.sysGain() * sineCurvature(amplitude, systemTone) : 0))
            + 60;
        std::vector<double> jumps = jumpsIn(audio, 3.0, seconds - 0.5, limit);
        // Each source's seam lies where the mix stood at the pause, plus what
        // of that source was queued and not yet mixed.
        std::erase_if(jumps, [&](double at) { return seam > 0 && at > seam - 0.1 && at < seam + 0.4; });
        EXPECT_TRUE(jumps.empty()) << jumps.size() << " jumps, the first at " << jumps.front() << " s of "
                                   << seconds << " s";
    }
}
