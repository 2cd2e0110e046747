// Saves run on the storage's writer thread: the latest state always lands,
// a save still waiting is written before the storage goes, and a failed
// write leaves the previous index and says why.
#include "models/RecordingsStorage.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/WithoutFilePrivileges.h"

#include <QTemporaryDir>

#include <atomic>
#include <mutex>
#include <sys/stat.h>

#include <gtest/gtest.h>

using TestFiles::readFile;

namespace {

// A library of `count` recordings with transcripts, large enough that a
// write takes a while; `title` tells one state from another.
QList<RecordingItem> library(int count, const QString& title)
{
    QList<RecordingItem> items;
    for (int i = 0; i < count; ++i) {
        RecordingItem item;
        item.id = QUuid::createUuid();
        item.title = QStringLiteral("%1 %2").arg(title).arg(i);
        item.fileName = QStringLiteral("Call %1_1700000000.mp3").arg(i);
        item.createdAt = Date::fromUnixSeconds(1700000000 - i);
        item.duration = 60;
        item.fileSizeBytes = 1000;
        item.waveformSamples = QList<float>(120, 0.5f);
        QList<TranscriptSegment> segments;
        for (int s = 0; s < 50; ++s)
            segments.append({QUuid::createUuid(), s * 2.0, s * 2.0 + 2, QStringLiteral("words of segment %1").arg(s)});
        item.transcriptSegments = segments;
        items.append(item);
    }
    return items;
}

struct WriteLog {
    std::mutex mutex;
    QStringList failures; // one per write, empty when it succeeded
};

void record(RecordingsStorage& storage, WriteLog& log)
{
    QObject::connect(
        &storage, &RecordingsStorage::saveFinished, &storage,
        [&log](const QString& failure) {
            std::lock_guard lock(log.mutex);
            log.failures.append(failure);
        },
        Qt::DirectConnection);
}

} // namespace

TEST(IndexSaving, QuickChangesEndWithTheLastStateAndNoneIsWrittenTwice)
{
    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage(support.path(), downloads.path());
    WriteLog log;
    record(storage, log);

    QList<RecordingItem> items = library(200, QStringLiteral("Call"));
    for (int change = 0; change < 100; ++change) {
        items[change % items.size()].title = QStringLiteral("Renamed %1").arg(change);
        storage.save(items);
    }
    ASSERT_TRUE(storage.waitForSaves());
    EXPECT_EQ(RecordingsStorage::decodeIndex(readFile(storage.metadataFile())), items);
    std::lock_guard lock(log.mutex);
    // A newer snapshot replaces one still waiting: far fewer writes than changes.
    EXPECT_GE(log.failures.size(), 1);
    EXPECT_LT(log.failures.size(), 100);
    EXPECT_EQ(log.failures.count(QString()), log.failures.size());
}

TEST(IndexSaving, ASaveStillWaitingIsWrittenBeforeTheStorageGoes)
{
    QTemporaryDir support;
    QTemporaryDir downloads;
    auto storage = std::make_unique<RecordingsStorage>(support.path(), downloads.path());
    const QString index = storage->metadataFile();
    const QList<RecordingItem> first = library(300, QStringLiteral("First"));
    const QList<RecordingItem> last = library(300, QStringLiteral("Last"));
    storage->save(first);
    storage->save(last);
    storage.reset();
    EXPECT_EQ(RecordingsStorage::decodeIndex(readFile(index)), last);
}

TEST(IndexSaving, AFailedWriteKeepsThePreviousIndexAndSaysWhy)
{
    QTemporaryDir support;
    QTemporaryDir downloads;
    WithoutFilePrivileges user; // the writer thread starts with the storage
    RecordingsStorage storage(support.path(), downloads.path());
    WriteLog log;
    record(storage, log);
    const QList<RecordingItem> saved = library(3, QStringLiteral("Saved"));
    storage.save(saved);
    ASSERT_TRUE(storage.waitForSaves());
    const QByteArray before = readFile(storage.metadataFile());

    const QString appFolder = QFileInfo(storage.metadataFile()).path();
    ::chmod(QFile::encodeName(appFolder), 0555);
    storage.save(library(3, QStringLiteral("Lost")));
    ASSERT_TRUE(storage.waitForSaves());
    ::chmod(QFile::encodeName(appFolder), 0755);

    EXPECT_EQ(readFile(storage.metadataFile()), before);
    EXPECT_EQ(QDir(appFolder).entryList(QDir::Files), QStringList{"recordings.json"}) << "no temporary file left";
    std::lock_guard lock(log.mutex);
    ASSERT_EQ(log.failures.size(), 2);
    EXPECT_TRUE(log.failures[0].isEmpty());
    EXPECT_TRUE(log.failures[1].contains(QStringLiteral("Permission denied"))) << log.failures[1].toStdString();
}
