#include "audio/AudioTrimmer.h"
#include "audio/EditingTestSupport.h"
#include "audio/FileSizeLimit.h"
#include "audio/ToneFiles.h"
#include "platform/media/Mp3Decoder.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <limits>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

constexpr double kFrame = 1152.0 / 44100;
// shine's decoded output starts this late; a cut of a cut carries it twice.
constexpr double kCodecDelay = 1057.0 / 44100;

using TrimError = AudioTrimmer::TrimError;

class AudioTrimmerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Ten seconds: 500 Hz up to 3.5 s, then 1000 Hz.
        m_source = file(QStringLiteral("source.mp3"));
        ToneFiles::write(m_source, {{3.5, 500}, {6.5, 1000}});
    }

    QString file(const QString& name) const { return m_dir.filePath(name); }

    QFuture<double> trim(const QString& source, const QString& destination, double start, double end)
    {
        return AudioTrimmer::shared().trimAudioFile(source, destination, start, end, [this](double fraction) {
            QMutexLocker lock(&m_reportsLock);
            m_fractions.push_back(fraction);
            m_offMainThread = m_offMainThread && QThread::currentThread() != qApp->thread();
        });
    }

    std::vector<double> fractions()
    {
        QMutexLocker lock(&m_reportsLock);
        return m_fractions;
    }

    QTemporaryDir m_dir;
    QString m_source;
    QMutex m_reportsLock;
    std::vector<double> m_fractions;
    bool m_offMainThread = true;
};

TEST_F(AudioTrimmerTest, CutsTheChosenStretch)
{
    const QString destination = file(QStringLiteral("cut.mp3"));

    EXPECT_DOUBLE_EQ(trim(m_source, destination, 2.0, 5.0).result(), 3.0);

    const ToneFiles::Decoded cut = ToneFiles::decode(destination);
    EXPECT_EQ(cut.sampleRate, 44100);
    EXPECT_EQ(cut.channels, 2);
    EXPECT_NEAR(cut.seconds(), 3.0, 2 * kFrame);
    // The tone changes 1.5 s into the cut, as it did at 3.5 s in the source.
    EXPECT_NEAR(ToneFiles::frequencyAt(cut.samples, 2, 44100, 0.3, 0.5), 500, 10);
    EXPECT_NEAR(ToneFiles::changeTime(cut, 500, 1000), 1.5 + 2 * kCodecDelay, 0.02);
    EXPECT_NEAR(ToneFiles::frequencyAt(cut.samples, 2, 44100, 2.2, 0.5), 1000, 10);

    const std::vector<double> got = fractions();
    ASSERT_GT(got.size(), 1u);
    EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
    EXPECT_GT(got.front(), 0.0);
    EXPECT_LE(got.back(), 1.0);
    EXPECT_GT(got.back(), 0.99);
    EXPECT_TRUE(m_offMainThread);
}

TEST_F(AudioTrimmerTest, ReturnsTheLengthOfTheRangeCut)
{
    struct Case {
        double start;
        double end;
        double result;
        bool reports;
    };
    const double total = Mp3Decoder::durationOf(m_source);
    ASSERT_NEAR(total, 10.0, 2 * kFrame);
    const std::vector<Case> cases = {
        {0.0, 1.0, 1.0, true},
        // An end past the file is cut at the file's end.
        {2.0, 12.0, total - 2.0, true},
        // Shorter than one sample: nothing to report.
        {1.0, 1.00001, 0.00001, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " to " << c.end);
        m_fractions.clear();
        const QString destination = file(QStringLiteral("cut.mp3"));
        const double seconds = trim(m_source, destination, c.start, c.end).result();
        EXPECT_NEAR(seconds, c.result, 0.001);
        EXPECT_EQ(!fractions().empty(), c.reports);
        if (c.result > 0.5) {
            EXPECT_NEAR(ToneFiles::decode(destination).seconds(), c.result, 2 * kFrame);
        }
    }
}

TEST_F(AudioTrimmerTest, ResamplesOtherRates)
{
    const QString source = file(QStringLiteral("mono48k.mp3"));
    ToneFiles::write(source, {{4.0, 1000}}, 48000, 1);
    const QString destination = file(QStringLiteral("cut.mp3"));

    EXPECT_DOUBLE_EQ(trim(source, destination, 1.0, 3.0).result(), 2.0);

    const ToneFiles::Decoded cut = ToneFiles::decode(destination);
    EXPECT_EQ(cut.sampleRate, 44100);
    EXPECT_EQ(cut.channels, 2);
    EXPECT_NEAR(cut.seconds(), 2.0, 2 * kFrame);
    EXPECT_NEAR(ToneFiles::frequencyAt(cut.samples, 2, 44100, 0.5, 1.0), 1000, 10);
}

TEST_F(AudioTrimmerTest, RefusesRangesOutsideTheFile)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double start;
        double end;
        QString message;
    };
    const std::vector<Case> cases = {
        {-1.0, 5.0, QStringLiteral("Invalid trim range (-1.0s to 5.0s for total 10.0s).")},
        {5.0, 5.0, QStringLiteral("Invalid trim range (5.0s to 5.0s for total 10.0s).")},
        {6.0, 5.0, QStringLiteral("Invalid trim range (6.0s to 5.0s for total 10.0s).")},
        {10.5, 20.0, QStringLiteral("Invalid trim range (10.5s to 20.0s for total 10.0s).")},
        {nan, 5.0, QStringLiteral("Invalid trim range (nans to 5.0s for total 10.0s).")},
        {1.0, nan, QStringLiteral("Invalid trim range (1.0s to nans for total 10.0s).")},
    };
    const QString destination = file(QStringLiteral("cut.mp3"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        const std::optional<TrimError> error = failureOf<TrimError>(trim(m_source, destination, c.start, c.end));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), TrimError::Kind::invalidTimeRange);
        EXPECT_EQ(error->message(), c.message);
        EXPECT_FALSE(QFileInfo::exists(destination));
    }
    EXPECT_TRUE(fractions().empty());
}

TEST_F(AudioTrimmerTest, RefusesSourcesItCannotCut)
{
    TestFiles::writeFile(file(QStringLiteral("notes.mp3")),
                         QByteArray("these are meeting notes, not audio\n").repeated(50));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.mp3"));
    QDir(m_dir.path()).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(QFile::link(m_source, file(QStringLiteral("link.mp3"))));
    ASSERT_EQ(::link(QFile::encodeName(m_source).constData(), QFile::encodeName(file(QStringLiteral("hard.mp3"))).constData()), 0);
    const qint64 sourceSize = QFileInfo(m_source).size();
    const QString out = file(QStringLiteral("cut.mp3"));

    struct Case {
        QString source;
        QString destination;
        TrimError::Kind kind;
        QString message;
    };
    const std::vector<Case> cases = {
        {file(QStringLiteral("gone.mp3")), out, TrimError::Kind::fileNotFound,
         QStringLiteral("Audio file not found: gone.mp3")},
        {file(QStringLiteral("notes.mp3")), out, TrimError::Kind::audioTrackNotFound,
         QStringLiteral("Could not find audio track in notes.mp3.")},
        {file(QStringLiteral("folder.mp3")), out, TrimError::Kind::cannotInitializeReader,
         QStringLiteral("Failed to read audio from folder.mp3.")},
        {m_source, m_source, TrimError::Kind::destinationIsSource,
         QStringLiteral("Cannot trim into source.mp3: it is the file being trimmed.")},
        {m_source, file(QStringLiteral("sub/../source.mp3")), TrimError::Kind::destinationIsSource,
         QStringLiteral("Cannot trim into source.mp3: it is the file being trimmed.")},
        {m_source, file(QStringLiteral("link.mp3")), TrimError::Kind::destinationIsSource,
         QStringLiteral("Cannot trim into link.mp3: it is the file being trimmed.")},
        {file(QStringLiteral("hard.mp3")), m_source, TrimError::Kind::destinationIsSource,
         QStringLiteral("Cannot trim into source.mp3: it is the file being trimmed.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        const std::optional<TrimError> error = failureOf<TrimError>(trim(c.source, c.destination, 2.0, 5.0));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), c.kind);
        EXPECT_EQ(error->message(), c.message);
        EXPECT_FALSE(QFileInfo::exists(out));
        EXPECT_EQ(QFileInfo(m_source).size(), sourceSize);
    }
    EXPECT_TRUE(fractions().empty());
}

TEST_F(AudioTrimmerTest, CancelledCutStopsAndLeavesNoFile)
{
    const QString destination = file(QStringLiteral("cut.mp3"));
    FirstReportGate gate;
    QFuture<double> future = AudioTrimmer::shared().trimAudioFile(m_source, destination, 1.0, 9.0, [&](double) { gate.atReport(); });
    ASSERT_TRUE(gate.waitForFirstReport());
    ASSERT_TRUE(QFileInfo::exists(destination));
    future.cancel();
    gate.release();
    future.waitForFinished();

    EXPECT_TRUE(future.isCanceled());
    EXPECT_EQ(future.resultCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(destination));
}

TEST_F(AudioTrimmerTest, FullDiskIsAnErrorAndLeavesNoFile)
{
    const QString destination = file(QStringLiteral("cut.mp3"));
    std::optional<TrimError> error;
    {
        const FileSizeLimit limit(20000);
        error = failureOf<TrimError>(AudioTrimmer::shared().trimAudioFile(m_source, destination, 1.0, 9.0));
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), TrimError::Kind::encodingFailed);
    EXPECT_TRUE(error->message().startsWith(QStringLiteral("Audio trimming failed: Could not write the MP3 file: ")))
        << error->message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(destination));
}

} // namespace
