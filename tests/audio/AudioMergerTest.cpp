#include "audio/AudioMerger.h"
#include "audio/EditingTestSupport.h"
#include "audio/FileSizeLimit.h"
#include "audio/ToneFiles.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

constexpr double kFrame = 1152.0 / 44100;

using MergeError = AudioMerger::MergeError;

struct Report {
    double fraction;
    QString message;
    bool onMainThread;
};

class AudioMergerTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return m_dir.filePath(name); }

    QString tone(const QString& name, double seconds, double hz, int rate = 44100, int channels = 2)
    {
        const QString path = file(name);
        ToneFiles::write(path, {{seconds, hz}}, rate, channels);
        return path;
    }

    QFuture<double> merge(const QStringList& sources, const QString& destination)
    {
        return AudioMerger::shared().mergeAudioFiles(sources, destination, [this](double fraction, const QString& message) {
            QMutexLocker lock(&m_reportsLock);
            m_reports.push_back({fraction, message, QThread::currentThread() == qApp->thread()});
        });
    }

    std::vector<Report> reports()
    {
        QMutexLocker lock(&m_reportsLock);
        return m_reports;
    }

    QTemporaryDir m_dir;
    QMutex m_reportsLock;
    std::vector<Report> m_reports;
};

TEST_F(AudioMergerTest, JoinsSourcesInOrderAndReportsEachOne)
{
    const QStringList sources = {tone("a.mp3", 1.0, 400), tone("b.mp3", 2.0, 800), tone("c.mp3", 0.5, 1600)};
    const QString destination = file("merged.mp3");

    const double seconds = merge(sources, destination).result();

    EXPECT_NEAR(seconds, 3.5, 3 * kFrame);
    const ToneFiles::Decoded merged = ToneFiles::decode(destination);
    EXPECT_EQ(merged.sampleRate, 44100);
    EXPECT_EQ(merged.channels, 2);
    EXPECT_NEAR(merged.seconds(), seconds, 2 * kFrame);
    // Each source's stretch holds its own tone, in the order given.
    EXPECT_NEAR(ToneFiles::frequencyAt(merged.samples, 2, 44100, 0.4, 0.2), 400, 10);
    EXPECT_NEAR(ToneFiles::frequencyAt(merged.samples, 2, 44100, 2.0, 0.2), 800, 10);
    EXPECT_NEAR(ToneFiles::frequencyAt(merged.samples, 2, 44100, 3.2, 0.1), 1600, 20);

    // Each recording is named as it starts, at its share of the whole length;
    // the figure is the whole merge's and never goes back.
    const std::vector<Report> got = reports();
    ASSERT_GE(got.size(), 4u);
    const std::vector<std::pair<double, QString>> starts = {
        {0.0, QStringLiteral("Merging recording 1 of 3... 0%")},
        {1.0 / 3.5, QStringLiteral("Merging recording 2 of 3... 28%")},
        {3.0 / 3.5, QStringLiteral("Merging recording 3 of 3... 85%")},
    };
    size_t next = 0;
    double last = 0;
    for (const Report& report : got) {
        EXPECT_FALSE(report.onMainThread);
        EXPECT_GE(report.fraction, last);
        last = report.fraction;
        if (next < starts.size() && report.message.startsWith(starts[next].second.left(24))) {
            EXPECT_NEAR(report.fraction, starts[next].first, 0.01) << report.message.toStdString();
            EXPECT_EQ(report.message, starts[next].second);
            ++next;
        }
        if (report.message != QStringLiteral("Finalizing merged recording...")) {
            EXPECT_TRUE(report.message.endsWith(QStringLiteral(" %1%").arg(int(report.fraction * 100))))
                << report.message.toStdString();
        }
    }
    EXPECT_EQ(next, starts.size());
    EXPECT_EQ(got.back().message, QStringLiteral("Finalizing merged recording..."));
    EXPECT_DOUBLE_EQ(got.back().fraction, 1.0);
    EXPECT_GT(got.size(), 10u); // a figure per percent, not one line per recording
}

TEST_F(AudioMergerTest, ConvertsOtherRatesAndMonoWithoutChangingPitchOrLength)
{
    // The same file twice is simply decoded twice.
    const QString mono48k = tone("mono48k.mp3", 1.0, 1000, 48000, 1);
    const QString stereo22k = tone("stereo22k.mp3", 1.0, 500, 22050, 2);
    const QString destination = file("merged.mp3");

    const double seconds = merge({mono48k, stereo22k, mono48k}, destination).result();

    EXPECT_NEAR(seconds, 3.0, 3 * 1152.0 / 22050);
    const ToneFiles::Decoded merged = ToneFiles::decode(destination);
    EXPECT_EQ(merged.sampleRate, 44100);
    EXPECT_EQ(merged.channels, 2);
    EXPECT_NEAR(ToneFiles::frequencyAt(merged.samples, 2, 44100, 0.4, 0.2), 1000, 10);
    EXPECT_NEAR(ToneFiles::frequencyAt(merged.samples, 2, 44100, 1.5, 0.2), 500, 10);
    EXPECT_NEAR(ToneFiles::frequencyAt(merged.samples, 2, 44100, 2.6, 0.2), 1000, 10);
    // The doubled mono source sounds on both channels.
    for (size_t frame : {20000u, 20100u, 20200u})
        EXPECT_NEAR(merged.samples[2 * frame + 1], merged.samples[2 * frame], 2) << frame;
    EXPECT_GT(std::abs(merged.samples[2 * 20000 + 1]) + std::abs(merged.samples[2 * 20100 + 1]), 1000);
}

TEST_F(AudioMergerTest, RefusesBeforeTouchingAnything)
{
    const QString a = tone("a.mp3", 0.5, 400);
    const QString b = tone("b.mp3", 0.5, 800);
    const QByteArray original = TestFiles::readFile(a);
    ASSERT_TRUE(QFile::link(a, file("link.mp3")));
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(file("hard.mp3")).constData()), 0);
    QDir(m_dir.path()).mkdir(QStringLiteral("sub"));

    struct Case {
        const char* name;
        QStringList sources;
        QString destination;
        MergeError::Kind kind;
        QString message;
    };
    const std::vector<Case> cases = {
        {"one source", {a}, file("out.mp3"), MergeError::Kind::insufficientRecordings,
         QStringLiteral("At least 2 recordings are required to merge.")},
        {"second missing", {a, file("gone.mp3"), b}, file("out.mp3"), MergeError::Kind::fileNotFound,
         QStringLiteral("File not found: gone.mp3")},
        {"destination is a source", {a, b}, a, MergeError::Kind::destinationIsSource,
         QStringLiteral("Cannot merge into a.mp3: it is one of the recordings being merged.")},
        {"same file by another path", {b, a}, file("sub/../a.mp3"), MergeError::Kind::destinationIsSource,
         QStringLiteral("Cannot merge into a.mp3: it is one of the recordings being merged.")},
        {"through a symbolic link", {a, b}, file("link.mp3"), MergeError::Kind::destinationIsSource,
         QStringLiteral("Cannot merge into link.mp3: it is one of the recordings being merged.")},
        {"through a hard link", {a, b}, file("hard.mp3"), MergeError::Kind::destinationIsSource,
         QStringLiteral("Cannot merge into hard.mp3: it is one of the recordings being merged.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_reports.clear();
        const std::optional<MergeError> error = failureOf<MergeError>(merge(c.sources, c.destination));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), c.kind);
        EXPECT_EQ(error->message(), c.message);
        EXPECT_TRUE(reports().empty());
        EXPECT_FALSE(QFileInfo::exists(file("out.mp3")));
        QFile source(a);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        EXPECT_EQ(source.readAll(), original);
    }
}

TEST_F(AudioMergerTest, FailedSourceRemovesWhatWasAlreadyMerged)
{
    const QString a = tone("a.mp3", 1.0, 400);
    const QString b = tone("b.mp3", 1.0, 800);
    TestFiles::writeFile(file("notes.mp3"), QByteArray("these are meeting notes, not audio\n").repeated(50));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.mp3"));

    struct Case {
        QString third;
        MergeError::Kind kind;
        QString message;
    };
    const std::vector<Case> cases = {
        {file("notes.mp3"), MergeError::Kind::audioTrackNotFound,
         QStringLiteral("Could not find audio track in notes.mp3.")},
        {file("folder.mp3"), MergeError::Kind::cannotInitializeReader,
         QStringLiteral("Failed to read audio from folder.mp3.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        m_reports.clear();
        const QString destination = file("merged.mp3");
        const std::optional<MergeError> error = failureOf<MergeError>(merge({a, b, c.third}, destination));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), c.kind);
        EXPECT_EQ(error->path(), c.third);
        EXPECT_EQ(error->message(), c.message);
        EXPECT_FALSE(QFileInfo::exists(destination));
        // Reports up to the failing source, none after it.
        const std::vector<Report> got = reports();
        ASSERT_FALSE(got.empty());
        EXPECT_TRUE(got.back().message.startsWith(QStringLiteral("Merging recording 3 of 3... ")))
            << got.back().message.toStdString();
    }
}

TEST_F(AudioMergerTest, CancelledMergeStopsAndLeavesNoFile)
{
    const QStringList sources = {tone("a.mp3", 3.0, 400), tone("b.mp3", 3.0, 800)};
    const QString destination = file("merged.mp3");
    FirstReportGate gate;
    QFuture<double> future = AudioMerger::shared().mergeAudioFiles(sources, destination,
                                                                   [&](double, const QString&) { gate.atReport(); });
    ASSERT_TRUE(gate.waitForFirstReport());
    ASSERT_TRUE(QFileInfo::exists(destination));
    future.cancel();
    gate.release();
    future.waitForFinished();

    EXPECT_TRUE(future.isCanceled());
    EXPECT_EQ(future.resultCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(destination));
}

TEST_F(AudioMergerTest, FullDiskIsAnErrorAndLeavesNoFile)
{
    const QString a = tone("a.mp3", 2.0, 400);
    const QString b = tone("b.mp3", 2.0, 800);
    const QString destination = file("merged.mp3");

    std::optional<MergeError> error;
    {
        const FileSizeLimit limit(20000);
        error = failureOf<MergeError>(AudioMerger::shared().mergeAudioFiles({a, b}, destination));
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), MergeError::Kind::encodingFailed);
    EXPECT_TRUE(error->message().startsWith(QStringLiteral("Merge encoding failed: Could not write the MP3 file: ")))
        << error->message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(destination));
}

} // namespace
