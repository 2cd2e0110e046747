// Loading never destroys what it cannot read: folders that cannot be examined,
// indexes that are no regular file, and records that do not decode. Each case
// compares the library's files before and after the load.
#include "Mp3Fixture.h"

#include "models/IndexCodec.h"
#include "models/RecordingsStorage.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/WithoutFilePrivileges.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

RecordingItem indexItem(const QString& title, const QString& fileName, double unixSeconds)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = fileName;
    item.createdAt = Date::fromUnixSeconds(unixSeconds);
    item.duration = 2;
    item.fileSizeBytes = 1;
    item.waveformSamples = QList<float>(120, 0.5f);
    item.transcript = QStringLiteral("Words only the index holds.");
    return item;
}

// Every file below `folder` (following no links) with its bytes; folders and
// FIFOs by kind.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString name = QDir(folder).relativeFilePath(path);
        struct stat status {};
        ::lstat(QFile::encodeName(path).constData(), &status);
        if (S_ISLNK(status.st_mode))
            files.insert(name, "link to " + info.symLinkTarget().toUtf8());
        else if (S_ISFIFO(status.st_mode))
            files.insert(name, "fifo");
        else if (S_ISDIR(status.st_mode))
            files.insert(name, "folder");
        else
            files.insert(name, readFile(path));
    }
    return files;
}

class LibraryFolder : public ::testing::Test {
protected:
    // Created per case, under the reduced privileges, so the storage's writer
    // thread meets permissions as a user would.
    std::unique_ptr<QTemporaryDir> m_support;
    std::unique_ptr<QTemporaryDir> m_downloads;
    std::unique_ptr<RecordingsStorage> m_storage;
    QList<RecordingItem> m_indexed;

    QString appFolder() const { return QDir(m_support->path()).filePath(QStringLiteral("Nimbrel")); }
    QString recordings() const { return m_storage->storageDirectory(); }
    QString library(const QString& name) const { return QDir(recordings()).filePath(name); }

    // Two indexed recordings with their transcripts, and a small file that is
    // not audio, which a load over a readable folder removes.
    void makeLibrary()
    {
        m_support = std::make_unique<QTemporaryDir>();
        m_downloads = std::make_unique<QTemporaryDir>();
        m_storage = std::make_unique<RecordingsStorage>(m_support->path(), m_downloads->path());
        m_indexed = {indexItem(QStringLiteral("Weekly sync"), QStringLiteral("Weekly_1712345678.mp3"), 1712345678),
                     indexItem(QStringLiteral("Interview"), QStringLiteral("Interview_1712345000.mp3"), 1712345000)};
        for (const RecordingItem& item : m_indexed)
            ASSERT_GT(Mp3Fixture::writeTone(library(item.fileName), 2.0), 0);
        writeFile(library(QStringLiteral("Junk_1700000000.mp3")), QByteArray(100, 'j'));
        writeFile(m_storage->metadataFile(), IndexCodec::encode(m_indexed));
    }

    // Runs the load on a thread of its own: one that blocks (on a FIFO, say)
    // fails the case instead of hanging the test.
    RecordingsStorage::Loaded loadWithin(std::chrono::seconds limit)
    {
        auto load = std::async(std::launch::async, [this] {
            WithoutFilePrivileges user;
            RecordingsStorage::Loaded loaded = m_storage->loadLibrary();
            m_storage->waitForSaves();
            return loaded;
        });
        if (load.wait_for(limit) != std::future_status::ready) {
            ADD_FAILURE() << "the load blocked";
            // Let a reader blocked on a FIFO go.
            const int fd = ::open(QFile::encodeName(m_storage->metadataFile()).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
        return load.get();
    }
};

struct FolderCase {
    const char* name;
    // Puts the folder in its situation; the second step undoes what would stop
    // the test from comparing and cleaning up.
    std::function<void(const QString& recordings, const QString& index)> arrange;
    std::function<void(const QString& recordings, const QString& index)> restore;
    // Whether the load could not use the folder (the index stays as it was).
    bool folderUnreadable;
    const char* message;
};

} // namespace

TEST_F(LibraryFolder, SituationsTheAppCannotReadLeaveEveryFileAsItWas)
{
    const QString elsewhere = QStringLiteral("/nonexistent-disk/Recordings");
    const FolderCase cases[] = {
        {"the folder is missing (its disk is not mounted)",
         [](const QString& folder, const QString&) { QDir().rename(folder, folder + QStringLiteral(".away")); },
         [](const QString& folder, const QString&) { QDir().rename(folder + QStringLiteral(".away"), folder); }, true,
         "The recordings folder cannot be read: "},
        {"a dangling link in the folder's place",
         [&](const QString& folder, const QString&) {
             QDir().rename(folder, folder + QStringLiteral(".away"));
             QFile::link(elsewhere, folder);
         },
         [](const QString& folder, const QString&) {
             QFile::remove(folder);
             QDir().rename(folder + QStringLiteral(".away"), folder);
         },
         true, "The recordings folder cannot be read: No such file or directory"},
        {"a file in the folder's place",
         [](const QString& folder, const QString&) {
             QDir().rename(folder, folder + QStringLiteral(".away"));
             writeFile(folder, "not a folder");
         },
         [](const QString& folder, const QString&) {
             QFile::remove(folder);
             QDir().rename(folder + QStringLiteral(".away"), folder);
         },
         true, "The recordings folder cannot be read: Not a directory"},
        {"a folder of mode 000", [](const QString& folder, const QString&) { ::chmod(QFile::encodeName(folder), 0); },
         [](const QString& folder, const QString&) { ::chmod(QFile::encodeName(folder), 0755); }, true,
         "The recordings folder cannot be read: Permission denied"},
        {"a read-only folder", [](const QString& folder, const QString&) { ::chmod(QFile::encodeName(folder), 0555); },
         [](const QString& folder, const QString&) { ::chmod(QFile::encodeName(folder), 0755); }, false, nullptr},
        {"a FIFO in the index's place",
         [](const QString&, const QString& index) {
             QFile::remove(index);
             ::mkfifo(QFile::encodeName(index), 0644);
         },
         {}, false, "The library index cannot be read; it was kept as recordings.json.corrupt-"},
        {"a folder in the index's place",
         [](const QString&, const QString& index) {
             QFile::remove(index);
             writeFile(QDir(index).filePath(QStringLiteral("inside.txt")), "kept");
         },
         {}, false, "The library index cannot be read; it was kept as recordings.json.corrupt-"},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<WithoutFilePrivileges> user = std::make_unique<WithoutFilePrivileges>();
        makeLibrary();
        const QString folder = recordings();
        const QMap<QString, QByteArray> audio = snapshot(folder);
        c.arrange(folder, m_storage->metadataFile());
        const QMap<QString, QByteArray> before = snapshot(appFolder());

        const RecordingsStorage::Loaded loaded = loadWithin(std::chrono::seconds(10));

        if (c.folderUnreadable) {
            // Nothing at all changed, the index included, and the entries load as they were.
            EXPECT_EQ(snapshot(appFolder()), before);
            EXPECT_FALSE(QFileInfo::exists(elsewhere));
            EXPECT_EQ(loaded.recordings, m_indexed);
        }
        if (c.message) {
            ASSERT_EQ(loaded.messages.size(), 1) << loaded.messages.join(QLatin1Char('|')).toStdString();
            EXPECT_TRUE(loaded.messages.first().startsWith(QLatin1String(c.message)))
                << loaded.messages.first().toStdString();
        } else {
            EXPECT_TRUE(loaded.messages.isEmpty()) << loaded.messages.join(QLatin1Char('|')).toStdString();
        }
        if (c.restore)
            c.restore(folder, m_storage->metadataFile());
        user.reset();

        // Every audio file is as it was; the junk file goes only where the
        // folder could be written and the library was repaired.
        QMap<QString, QByteArray> expected = audio;
        if (!c.folderUnreadable && QString::fromLatin1(c.name) != QLatin1String("a read-only folder"))
            expected.remove(QStringLiteral("Junk_1700000000.mp3"));
        EXPECT_EQ(snapshot(folder), expected);

        if (!c.folderUnreadable) {
            // The two recordings are listed: from the index, or adopted when
            // the index was not a file and was kept aside as it was.
            ASSERT_EQ(loaded.recordings.size(), 2);
            QStringList names{loaded.recordings[0].fileName, loaded.recordings[1].fileName};
            names.sort();
            EXPECT_EQ(names, (QStringList{"Interview_1712345000.mp3", "Weekly_1712345678.mp3"}));
            EXPECT_EQ(RecordingsStorage::decodeIndex(readFile(m_storage->metadataFile())), loaded.recordings);
        }
        if (QString::fromLatin1(c.name).contains(QLatin1String("index's place"))) {
            const QStringList aside =
                QDir(appFolder()).entryList({QStringLiteral("recordings.json.corrupt-*")}, QDir::AllEntries | QDir::System);
            ASSERT_EQ(aside.size(), 1);
            EXPECT_TRUE(loaded.messages.first().endsWith(aside.first()));
            // Kept as it was: the FIFO a FIFO, the folder with what it held.
            const QMap<QString, QByteArray> after = snapshot(appFolder());
            EXPECT_EQ(after.value(aside.first()), before.value(QStringLiteral("recordings.json")));
            EXPECT_EQ(after.value(aside.first() + QStringLiteral("/inside.txt")),
                      before.value(QStringLiteral("recordings.json/inside.txt")));
        }
    }
}

TEST_F(LibraryFolder, OneBadRecordAmongAHundredIsKeptAsideAndTheOthersLoad)
{
    makeLibrary();
    QList<RecordingItem> items;
    for (int i = 0; i < 100; ++i) {
        RecordingItem item = indexItem(QStringLiteral("Call %1").arg(i), QStringLiteral("Call %1_1700000000.mp3").arg(i),
                                       1700000000 + i);
        writeFile(library(item.fileName), QByteArray(4096, 'a'));
        items.append(item);
    }
    // A real recording whose record holds a date no double holds: without its
    // date a record cannot be placed, so it is set aside whole.
    Mp3Fixture::writeTone(library(QStringLiteral("Broken_1700000050.mp3")), 2.0);
    QByteArray bad = IndexCodec::encodeRecord(indexItem(QStringLiteral("Broken"), QStringLiteral("Broken_1700000050.mp3"),
                                                        1700000050));
    const qsizetype date = bad.indexOf("\"createdAt\":") + 12;
    bad.replace(date, bad.indexOf(',', date) - date, "1e999");
    QByteArray index = IndexCodec::encode(items);
    index.insert(index.indexOf("},{\"id\"", index.size() / 2) + 1, "," + bad);
    writeFile(m_storage->metadataFile(), index);
    QFile::remove(library(QStringLiteral("Weekly_1712345678.mp3")));
    QFile::remove(library(QStringLiteral("Interview_1712345000.mp3")));

    testing::internal::CaptureStdout();
    const RecordingsStorage::Loaded loaded = m_storage->loadLibrary();
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(m_storage->waitForSaves());

    // The 100 good records with their transcripts; the bad one's file adopted.
    ASSERT_EQ(loaded.recordings.size(), 101);
    int withTranscript = 0;
    for (const RecordingItem& item : loaded.recordings)
        withTranscript += item.transcript.has_value();
    EXPECT_EQ(withTranscript, 100);
    const QStringList aside =
        QDir(appFolder()).entryList({QStringLiteral("recordings.json.corrupt-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(QDir(appFolder()).filePath(aside.first())), "[" + bad + "]");
    ASSERT_EQ(loaded.messages.size(), 1);
    EXPECT_EQ(loaded.messages.first(), QStringLiteral("1 recording in the library cannot be read; it was kept in ")
                                           + aside.first());

    // The next load finds nothing to set aside.
    const RecordingsStorage::Loaded again = m_storage->loadLibrary();
    EXPECT_TRUE(again.messages.isEmpty());
    EXPECT_EQ(again.recordings.size(), 101);
}

TEST_F(LibraryFolder, FilesThatCannotBeReadAreKeptUnlisted)
{
    WithoutFilePrivileges user;
    makeLibrary();
    // An orphan and an interrupted capture the app may not read: neither is
    // audio it can judge, so neither is removed nor listed.
    const QString orphan = library(QStringLiteral("Private_1700000000.mp3"));
    const QString capture = library(QStringLiteral(".recording_0B7A3A64-0F5C-4B4E-9B0D-1E2F3A4B5C6D.tmp"));
    Mp3Fixture::writeTone(orphan, 3.0);
    const qint64 captureSize = Mp3Fixture::writeTone(capture, 3.0);
    ::chmod(QFile::encodeName(orphan), 0);
    ::chmod(QFile::encodeName(capture), 0);
    // An indexed recording whose file cannot be examined (a link loop) keeps its entry.
    const RecordingItem& looped = m_indexed.first();
    QFile::remove(library(looped.fileName));
    QFile::link(looped.fileName, library(looped.fileName));
    // A FIFO among the recordings is never opened.
    ::mkfifo(QFile::encodeName(library(QStringLiteral("Pipe_1700000000.mp3"))), 0644);

    testing::internal::CaptureStdout();
    const QList<RecordingItem> loaded = loadWithin(std::chrono::seconds(10)).recordings;
    const std::string said = testing::internal::GetCapturedStdout();

    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded.first(), looped);
    EXPECT_EQ(loaded.last().title, QStringLiteral("Interview"));
    EXPECT_TRUE(QFileInfo::exists(orphan));
    const QStringList recovered = QDir(recordings()).entryList({QStringLiteral("Recovered_*")}, QDir::Files);
    ASSERT_EQ(recovered.size(), 1) << "renamed, and kept";
    EXPECT_EQ(QFileInfo(library(recovered.first())).size(), captureSize);
    EXPECT_TRUE(QFileInfo(library(QStringLiteral("Pipe_1700000000.mp3"))).exists());
    EXPECT_NE(said.find("Private_1700000000.mp3 cannot be read"), std::string::npos) << said;
    EXPECT_NE(said.find(recovered.first().toStdString() + " cannot be read"), std::string::npos) << said;
}
