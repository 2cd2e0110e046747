// Every recording is read through Mp3Decoder; its length decides the library's
// durations, so it is checked against files of known length from our encoder.
#include "Mp3Fixture.h"

#include "common/FileUtils.h"
#include "platform/media/Mp3Decoder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kFrame = Mp3Fixture::kFrameSamples;

// Reads the whole file in pieces; returns the frames read and the RMS of the first channel.
std::pair<int64_t, double> readAll(Mp3Decoder& decoder)
{
    std::vector<float> buffer(4096 * 2);
    int64_t total = 0;
    double squares = 0;
    for (;;) {
        const int64_t got = decoder.read(buffer.data(), 4096);
        EXPECT_GE(got, 0);
        if (got <= 0)
            break;
        for (int64_t i = 0; i < got; ++i)
            squares += double(buffer[i * decoder.channelCount()]) * buffer[i * decoder.channelCount()];
        total += got;
    }
    return {total, total > 0 ? std::sqrt(squares / double(total)) : 0.0};
}

} // namespace

TEST(Mp3Decoder, LengthIsWholeFramesWithinOneFrameOfTheSamplesEncoded)
{
    QTemporaryDir dir;
    for (double seconds : {0.5, 1.2, 3.0, 10.0}) {
        SCOPED_TRACE(seconds);
        const QString path = dir.filePath(QStringLiteral("tone.mp3"));
        Mp3Fixture::writeTone(path, seconds);
        const qint64 encoded = std::llround(seconds * 44100);
        Mp3Decoder decoder;
        ASSERT_TRUE(decoder.open(path)) << decoder.errorString().toStdString();
        EXPECT_EQ(decoder.sampleRate(), 44100);
        EXPECT_EQ(decoder.channelCount(), 2);
        const int64_t length = decoder.lengthFrames();
        EXPECT_EQ(length % kFrame, 0);
        EXPECT_LT(std::abs(length - encoded), kFrame);
        EXPECT_DOUBLE_EQ(decoder.durationSeconds(), double(length) / 44100);
        EXPECT_DOUBLE_EQ(Mp3Decoder::durationOf(path), decoder.durationSeconds());
    }
}

TEST(Mp3Decoder, ReadsAsManyFramesAsItsLengthInEveryLayout)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.mp3"));
    Mp3Fixture::writeTone(path, 2.0);
    struct Layout {
        Mp3Decoder::Channels channels;
        int expected;
    } layouts[] = {{Mp3Decoder::Channels::Native, 2}, {Mp3Decoder::Channels::Mono, 1}, {Mp3Decoder::Channels::Stereo, 2}};
    std::vector<double> levels;
    for (const Layout& layout : layouts) {
        Mp3Decoder decoder;
        ASSERT_TRUE(decoder.open(path, Mp3Decoder::SampleFormat::Float32, layout.channels));
        EXPECT_EQ(decoder.channelCount(), layout.expected);
        const int64_t length = decoder.lengthFrames();
        const auto [frames, rms] = readAll(decoder);
        EXPECT_EQ(frames, length);
        levels.push_back(rms);
        EXPECT_EQ(decoder.read(nullptr, 0), 0);
    }
    // The tone's RMS is 8000 / 32768 / sqrt(2) = 0.173; the encoder comes out
    // about 1 dB louder (other decoders read the same). Both channels hold the
    // same tone, so the mono mix keeps its level.
    EXPECT_NEAR(levels[0], 8000.0 / 32768 / std::sqrt(2.0), 0.035);
    EXPECT_NEAR(levels[1], levels[0], levels[0] * 0.01);
    EXPECT_NEAR(levels[2], levels[0], levels[0] * 0.01);
}

TEST(Mp3Decoder, SeeksToAFrame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.mp3"));
    Mp3Fixture::writeTone(path, 3.0);
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.open(path, Mp3Decoder::SampleFormat::Float32));
    const int64_t length = decoder.lengthFrames();
    ASSERT_TRUE(decoder.seekToFrame(44100));
    EXPECT_EQ(decoder.positionFrames(), 44100);
    EXPECT_EQ(readAll(decoder).first, length - 44100);
    ASSERT_TRUE(decoder.seekToFrame(-5));
    EXPECT_EQ(decoder.positionFrames(), 0);
    EXPECT_EQ(readAll(decoder).first, length);
}

TEST(Mp3Decoder, DamagedAndForeignFiles)
{
    QTemporaryDir dir;
    const QString whole = dir.filePath(QStringLiteral("whole.mp3"));
    Mp3Fixture::writeTone(whole, 3.0);
    const double wholeLength = Mp3Decoder::durationOf(whole);

    // Zero bytes after the audio (a file padded by a copy tool) add nothing.
    const QString padded = dir.filePath(QStringLiteral("padded.mp3"));
    QFile::copy(whole, padded);
    Mp3Fixture::padTo(padded, FileUtils::fileSize(whole) + 100000);
    EXPECT_DOUBLE_EQ(Mp3Decoder::durationOf(padded), wholeLength);

    // A file cut in the middle of a frame counts the whole frames before the cut.
    const QString cut = dir.filePath(QStringLiteral("cut.mp3"));
    QFile::copy(whole, cut);
    QFile::resize(cut, FileUtils::fileSize(whole) / 2 + 100);
    const double cutLength = Mp3Decoder::durationOf(cut);
    EXPECT_NEAR(cutLength, wholeLength / 2, 2.0 * kFrame / 44100);
    EXPECT_DOUBLE_EQ(std::fmod(cutLength * 44100, double(kFrame)), 0.0);

    // No audio at all: NaN, never 0 or a made-up length.
    const QString zeros = dir.filePath(QStringLiteral("zeros.mp3"));
    Mp3Fixture::writeZeros(zeros, 20000);
    const QString text = dir.filePath(QStringLiteral("text.mp3"));
    TestFiles::writeFile(text, QByteArray("not audio at all\n").repeated(2000));
    for (const QString& path : {zeros, text, dir.filePath(QStringLiteral("missing.mp3"))}) {
        EXPECT_TRUE(std::isnan(Mp3Decoder::durationOf(path))) << path.toStdString();
        Mp3Decoder decoder;
        EXPECT_FALSE(decoder.open(path));
        EXPECT_FALSE(decoder.errorString().isEmpty());
        EXPECT_EQ(decoder.lengthFrames(), -1);
        EXPECT_EQ(decoder.read(nullptr, 10), -1);
    }
}
