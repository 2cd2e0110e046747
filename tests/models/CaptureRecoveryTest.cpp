// A recorder killed mid-capture leaves a ".recording_<UUID>.tmp" file behind;
// the next load takes it back with the length of the audio that reached the disk.
#include "Mp3Fixture.h"

#include "common/FileUtils.h"
#include "models/RecordingsStorage.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct KilledCapture {
    qint64 handed = 0; // samples per channel the writer reported handing to the encoder
    qint64 size = 0;   // bytes of the capture file after the kill
};

// Runs the capture writer until it has reported `samples`, then kills it with SIGKILL.
KilledCapture killCaptureAfter(const QString& path, qint64 samples)
{
    QProcess writer;
    writer.start(QStringLiteral(CAPTURE_WRITER), {path});
    EXPECT_TRUE(writer.waitForStarted());
    qint64 handed = 0;
    QByteArray pending;
    auto readCounts = [&] {
        pending += writer.readAllStandardOutput();
        const int end = pending.lastIndexOf('\n');
        if (end < 0)
            return;
        const QList<QByteArray> lines = pending.left(end).split('\n');
        handed = lines.last().toLongLong();
        pending.remove(0, end + 1);
    };
    while (handed < samples && writer.state() == QProcess::Running) {
        writer.waitForReadyRead(5000);
        readCounts();
    }
    writer.kill(); // SIGKILL: no destructor, no finish
    writer.waitForFinished();
    readCounts();
    EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);
    return {handed, FileUtils::fileSize(path)};
}

} // namespace

TEST(CaptureRecovery, KilledCaptureComesBackWithTheLengthOnDisk)
{
    QTemporaryDir support;
    QTemporaryDir downloads;
    QList<KilledCapture> captures;
    {
        // The run that was killed; a storage leaves its own captures alone.
        const RecordingsStorage earlier(support.path(), downloads.path());
        for (double seconds : {2.0, 5.0, 11.0})
            captures.append(killCaptureAfter(earlier.newTempRecordingFileURL(), qint64(seconds * 44100)));
    }

    RecordingsStorage storage(support.path(), downloads.path());
    const QList<RecordingItem> loaded = storage.loadRecordings();
    ASSERT_EQ(loaded.size(), captures.size());
    for (const KilledCapture& capture : captures) {
        SCOPED_TRACE(capture.handed);
        const auto found = std::find_if(loaded.begin(), loaded.end(), [&](const RecordingItem& item) {
            return item.fileSizeBytes == capture.size;
        });
        ASSERT_NE(found, loaded.end());
        EXPECT_EQ(found->title, QStringLiteral("Recovered Recording"));
        EXPECT_TRUE(found->fileName.startsWith(QStringLiteral("Recovered_")));

        // The encoder writes whole 1152-sample passes and keeps the rest (under
        // one pass) in memory, which the kill loses. The writer may also have
        // handed one more 576-frame chunk after its last report. Of the passes
        // on disk the last frame may be incomplete (cut by the kill, or still
        // short of the bits the encoder carries into the next frame), and a
        // decoder counts only whole frames: the length read is the whole passes
        // written, or one frame less.
        const qint64 frame = Mp3Fixture::kFrameSamples;
        const qint64 fewestPasses = capture.handed / frame;
        const qint64 mostPasses = (capture.handed + 576) / frame;
        const double frames = found->duration * 44100 / frame;
        EXPECT_NEAR(frames, std::round(frames), 1e-6) << "whole frames";
        EXPECT_GE(std::llround(frames), fewestPasses - 1);
        EXPECT_LE(std::llround(frames), mostPasses);
    }
    // The capture files are gone: each was renamed to its recovered name.
    EXPECT_TRUE(QDir(storage.storageDirectory())
                    .entryList({QStringLiteral(".recording_*")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
}
