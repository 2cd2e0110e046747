#include "audio/MP3Encoder.h"
#include "platform/media/Mp3Decoder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr size_t pass = 2304; // 1,152 frames of two channels

std::vector<int16_t> tone(size_t frames, double frequency, double amplitude = 8000)
{
    std::vector<int16_t> samples(2 * frames);
    for (size_t i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] = int16_t(amplitude * std::sin(2 * M_PI * frequency * double(i) / 44100));
    return samples;
}

qint64 sizeOf(const QString& path)
{
    return QFileInfo(path).size();
}

struct FrameHeader {
    int version;  // 3: MPEG-1
    int layer;    // 1: layer III
    int bitrateKbps;
    int sampleRate;
    int mode;     // 0: plain stereo
    int copyright;
    int original;
    int emphasis;
};

// Walks the file frame by frame; stops at the first byte that is not a frame start.
std::vector<FrameHeader> framesOf(const QByteArray& data, qsizetype* walked = nullptr)
{
    static const int bitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int rates[4] = {44100, 48000, 32000, 0};
    std::vector<FrameHeader> frames;
    qsizetype offset = 0;
    while (offset + 4 <= data.size()) {
        const auto* b = reinterpret_cast<const unsigned char*>(data.constData() + offset);
        if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0)
            break;
        FrameHeader h{(b[1] >> 3) & 3, (b[1] >> 1) & 3, bitrates[b[2] >> 4], rates[(b[2] >> 2) & 3],
                      b[3] >> 6, (b[3] >> 3) & 1, (b[3] >> 2) & 1, b[3] & 3};
        if (h.version != 3 || h.layer != 1 || h.bitrateKbps == 0 || h.sampleRate == 0)
            break;
        frames.push_back(h);
        offset += 144 * h.bitrateKbps * 1000 / h.sampleRate + ((b[2] >> 1) & 1);
    }
    if (walked)
        *walked = offset;
    return frames;
}

// The descriptor this process holds open on `path`.
int descriptorOf(const QString& path)
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    DIR* dir = opendir("/proc/self/fd");
    int found = -1;
    while (dirent* entry = readdir(dir)) {
        const QString link = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/") + QString::fromLocal8Bit(entry->d_name));
        if (link == wanted)
            found = atoi(entry->d_name);
    }
    closedir(dir);
    return found;
}

// Frequency of the strongest bin of a plain DFT over `n` samples of one channel.
double dominantFrequency(const std::vector<int16_t>& interleaved, size_t start, size_t n)
{
    double bestPower = -1;
    size_t bestBin = 0;
    for (size_t k = 1; k < n / 2; ++k) {
        // Goertzel recurrence for bin k.
        const double coefficient = 2 * std::cos(2 * M_PI * double(k) / double(n));
        double s1 = 0;
        double s2 = 0;
        for (size_t i = 0; i < n; ++i) {
            const double s0 = interleaved[2 * (start + i)] + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        if (power > bestPower) {
            bestPower = power;
            bestBin = k;
        }
    }
    return double(bestBin) * 44100 / double(n);
}

} // namespace

TEST(MP3Encoder, ToneRoundTripKeepsFormatLengthAndPitch)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/folder/tone.mp3")); // folders are created
    const std::vector<int16_t> samples = tone(3 * 44100, 1000);
    {
        MP3Encoder encoder(path);
        EXPECT_EQ(encoder.samplesPerPass(), 1152);
        for (size_t offset = 0; offset < samples.size(); offset += 1000)
            encoder.encode(samples.data() + offset, std::min<size_t>(1000, samples.size() - offset));
        encoder.finish();
    }

    qsizetype walked = 0;
    const QByteArray data = TestFiles::readFile(path);
    const std::vector<FrameHeader> frames = framesOf(data, &walked);
    EXPECT_EQ(walked, data.size()); // nothing but whole frames, the last one too
    EXPECT_EQ(frames.size(), 115u); // 132,300 frames in passes of 1,152
    for (const FrameHeader& frame : frames) {
        EXPECT_EQ(frame.bitrateKbps, 192);
        EXPECT_EQ(frame.sampleRate, 44100);
        EXPECT_EQ(frame.mode, 0);
        EXPECT_EQ(frame.copyright, 0);
        EXPECT_EQ(frame.original, 1);
        EXPECT_EQ(frame.emphasis, 0);
    }

    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(path));
    EXPECT_EQ(decoder.sampleRate(), 44100);
    EXPECT_EQ(decoder.channelCount(), 2);
    EXPECT_NEAR(decoder.durationSeconds(), 3.0, 1152.0 / 44100);
    EXPECT_EQ(decoder.lengthFrames(), 115 * 1152); // the decoder keeps the last frame
    std::vector<int16_t> decoded(2 * 4 * 44100);
    const int64_t read = decoder.read(decoded.data(), 4 * 44100);
    ASSERT_GT(read, 44100 + 16384);
    EXPECT_NEAR(dominantFrequency(decoded, 44100, 16384), 1000.0, 2 * 44100.0 / 16384);
}

struct PassCase {
    const char* name;
    size_t samples;
    bool writtenByEncode;
    size_t frames; // after finish
};

class MP3EncoderPasses : public ::testing::TestWithParam<PassCase> {};

TEST_P(MP3EncoderPasses, WritesWholePassesAtOnceAndPadsOnlyTheLast)
{
    const PassCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.mp3"));
    MP3Encoder encoder(path);
    const std::vector<int16_t> samples = tone(c.samples / 2, 440);
    encoder.encode(samples);
    EXPECT_EQ(sizeOf(path) > 0, c.writtenByEncode);
    encoder.finish();
    qsizetype walked = 0;
    const QByteArray data = TestFiles::readFile(path);
    EXPECT_EQ(framesOf(data, &walked).size(), c.frames);
    EXPECT_EQ(walked, data.size());
}

INSTANTIATE_TEST_SUITE_P(MP3Encoder, MP3EncoderPasses, ::testing::Values(
    PassCase{"LessThanAPassWaitsForFinish", 1000, false, 1},
    PassCase{"ExactPassGetsNoSilentPass", pass, true, 1},
    PassCase{"OneSampleOverIsPadded", pass + 2, true, 2},
    PassCase{"SeveralPassesInOneCall", 5 * pass, true, 5},
    PassCase{"NothingGivesNoFrame", 0, false, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MP3Encoder, PiecesOfAnyLengthGiveTheSameFileAsOneCall)
{
    QTemporaryDir dir;
    const std::vector<int16_t> samples = tone(20 * 1152 + 300, 440);
    const auto encodeInPieces = [&](const QString& name, size_t piece) {
        const QString path = dir.filePath(name);
        MP3Encoder encoder(path);
        for (size_t offset = 0; offset < samples.size(); offset += piece)
            encoder.encode(samples.data() + offset, std::min(piece, samples.size() - offset));
        encoder.finish();
        return TestFiles::readFile(path);
    };
    const QByteArray whole = encodeInPieces(QStringLiteral("whole.mp3"), samples.size());
    ASSERT_FALSE(whole.isEmpty());
    // Pieces that start, fill and overrun a pass begun by an earlier call.
    for (const size_t piece : {size_t(2), size_t(1000), pass - 2, pass + 2, 3 * pass + 6}) {
        SCOPED_TRACE(piece);
        EXPECT_EQ(encodeInPieces(QStringLiteral("pieces%1.mp3").arg(piece), piece), whole);
    }
}

TEST(MP3Encoder, ReplacesAnExistingFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.mp3"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    MP3Encoder encoder(path);
    EXPECT_EQ(sizeOf(path), 0);
    encoder.encode(tone(1152, 440));
    encoder.finish();
    qsizetype walked = 0;
    const QByteArray data = TestFiles::readFile(path);
    EXPECT_EQ(framesOf(data, &walked).size(), 1u);
    EXPECT_EQ(walked, data.size());
}

TEST(MP3Encoder, DoesNothingAfterFinish)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.mp3"));
    MP3Encoder encoder(path);
    encoder.encode(tone(3000, 440));
    encoder.finish();
    const qint64 size = sizeOf(path);
    EXPECT_GT(size, 0);
    encoder.finish();
    encoder.encode(tone(10000, 440));
    encoder.finish();
    EXPECT_EQ(sizeOf(path), size);
}

TEST(MP3Encoder, FinishesWhenDiscarded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.mp3"));
    {
        MP3Encoder encoder(path);
        encoder.encode(tone(1000, 440));
        EXPECT_EQ(sizeOf(path), 0);
    }
    EXPECT_EQ(framesOf(TestFiles::readFile(path)).size(), 1u);
}

TEST(MP3Encoder, RefusedSettingsLeaveAnEmptyFile)
{
    const std::pair<int, int> cases[] = {{44100, 193}, {12345, 192}, {8000, 192}}; // rate, kbit/s
    for (const auto& [rate, bitrate] : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.mp3"));
        try {
            MP3Encoder encoder(path, rate, bitrate, 2);
            ADD_FAILURE() << rate << " Hz at " << bitrate << " kbit/s was accepted";
        } catch (const Error& error) {
            EXPECT_EQ(error.domain(), QStringLiteral("MP3Encoder"));
            EXPECT_EQ(error.code(), 1);
            EXPECT_EQ(error.message(), QStringLiteral("Failed to initialize shine MP3 encoder."));
        }
        EXPECT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(sizeOf(path), 0);
    }
}

TEST(MP3Encoder, ReportsAFailedWriteOnEveryLaterCall)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.mp3"));
    MP3Encoder encoder(path);
    encoder.encode(tone(1000, 440)); // buffered, nothing written yet

    // The file's descriptor now leads to a full device.
    const int fd = descriptorOf(path);
    ASSERT_GE(fd, 0);
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    ASSERT_EQ(::dup2(full, fd), fd);
    ::close(full);

    const auto expectWriteError = [](const std::function<void()>& call, const char* what) {
        try {
            call();
            ADD_FAILURE() << what << " did not report the failed write";
        } catch (const Error& error) {
            EXPECT_EQ(error.domain(), QStringLiteral("MP3Encoder")) << what;
            EXPECT_EQ(error.code(), 2) << what;
        }
    };
    expectWriteError([&] { encoder.finish(); }, "finish");
    expectWriteError([&] { encoder.finish(); }, "a second finish");
    expectWriteError([&] { encoder.encode(tone(3000, 440)); }, "encode after the failure");
}

TEST(MP3Encoder, ReportsAFileSizeLimitAndKeepsWholeFrames)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.mp3"));
    // The limit applies to the whole process, so it is set in a child.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // write() fails with EFBIG instead of killing us
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        int status = 1; // encode never failed
        try {
            MP3Encoder encoder(path);
            const std::vector<int16_t> second = tone(44100, 440);
            for (int i = 0; i < 5; ++i)
                encoder.encode(second);
            encoder.finish();
        } catch (const Error& error) {
            status = error.code() == 2 && error.message().contains(QString::fromLocal8Bit(strerror(EFBIG))) ? 0 : 2;
        }
        _exit(status);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no error reported, 2: the wrong error";
    EXPECT_LE(sizeOf(path), 4096);
    // The frame the limit cut short is gone: the file is whole frames that
    // all decode.
    const QByteArray data = TestFiles::readFile(path);
    qsizetype walked = 0;
    EXPECT_GE(framesOf(data, &walked).size(), 5u);
    EXPECT_EQ(walked, data.size());
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(path));
    std::vector<int16_t> block(4096 * 2);
    int64_t frames = 0;
    for (int64_t read; (read = decoder.read(block.data(), 4096)) > 0;)
        frames += read;
    EXPECT_EQ(decoder.read(block.data(), 4096), 0) << "ends cleanly, no decoding error";
    EXPECT_GT(frames, 4 * 1152);
}
