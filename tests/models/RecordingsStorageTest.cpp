#include "common/Error.h"
#include "models/RecordingsStorage.h"
#include "support/TestFiles.h"
#include "support/UserTrash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

RecordingItem makeItem(const QString& title, const QString& fileName)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = fileName;
    item.createdAt = Date::now();
    item.duration = 12.5;
    item.fileSizeBytes = 4096;
    item.waveformSamples = {0.25f, 0.5f};
    return item;
}

class RecordingsStorageTest : public ::testing::Test {
protected:
    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage{support.path(), downloads.path()};

    QString library(const QString& name) const { return QDir(storage.storageDirectory()).filePath(name); }
};

} // namespace

TEST_F(RecordingsStorageTest, FolderLayout)
{
    EXPECT_EQ(storage.storageDirectory(), QDir(support.path()).filePath(QStringLiteral("Nimbrel/Recordings")));
    EXPECT_EQ(storage.metadataFile(), QDir(support.path()).filePath(QStringLiteral("Nimbrel/recordings.json")));
    EXPECT_TRUE(QFileInfo(storage.storageDirectory()).isDir());
    EXPECT_TRUE(QRegularExpression(QStringLiteral(
                    "/\\.recording_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.tmp$"))
                    .match(storage.newTempRecordingFileURL())
                    .hasMatch());
}

TEST_F(RecordingsStorageTest, NewFileNamesSanitizeTheTitle)
{
    struct Case {
        QString title;
        QString stem; // what stands before "_<seconds>.mp3"
    } cases[] = {
        {QStringLiteral("a/b:c"), QStringLiteral("a_b_c")},
        {QStringLiteral("  Team sync  "), QStringLiteral("Team sync")},
        {QStringLiteral("\\/:*?\"<>|"), QStringLiteral("_________")},
        {QString(), QString()},
        {QStringLiteral("\n\tNotes\n"), QStringLiteral("Notes")},
        {QString(200, QLatin1Char('a')), QString(120, QLatin1Char('a'))},
        // A flag is one character of two code points and is never split.
        {QString(119, QLatin1Char('x')) + QStringLiteral("🇮🇹🇮🇹"), QString(119, QLatin1Char('x')) + QStringLiteral("🇮🇹")},
    };
    for (const auto& c : cases) {
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const QString name = storage.newRecordingFileName(c.title);
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        ASSERT_TRUE(name.endsWith(QStringLiteral(".mp3"))) << name.toStdString();
        const int underscore = name.lastIndexOf(QLatin1Char('_'));
        EXPECT_EQ(name.left(underscore), c.stem) << c.title.toStdString();
        const qint64 seconds = name.mid(underscore + 1).chopped(4).toLongLong();
        EXPECT_GE(seconds, before);
        EXPECT_LE(seconds, after);
    }
}

TEST_F(RecordingsStorageTest, LongNonLatinTitlesStayWithinTheByteCap)
{
    // 120 CJK characters are 360 bytes, more than a Linux file name may hold.
    const QString title = QString(150, QChar(0x4F1A));
    const QString stem = RecordingsStorage::sanitizeFilename(title);
    EXPECT_LE(stem.toUtf8().size(), 200);
    EXPECT_EQ(stem, QString(66, QChar(0x4F1A)));

    const auto location = storage.newRecordingFileURL(title);
    writeFile(location.url, "audio");
    EXPECT_EQ(readFile(location.url), "audio");
    const QString enhanced = storage.newEnhancedRecordingFileName(makeItem(title, location.fileName));
    EXPECT_LE(enhanced.toUtf8().size(), 255);
}

TEST_F(RecordingsStorageTest, NewFileNamesNeverReplaceAnExistingFile)
{
    const QString first = storage.newRecordingFileName(QStringLiteral("Standup"));
    writeFile(library(first), "first");
    QString second = storage.newRecordingFileName(QStringLiteral("Standup"));
    if (second == first.chopped(4) + QStringLiteral(" (1).mp3")) {
        writeFile(library(second), "second");
        EXPECT_EQ(storage.newRecordingFileName(QStringLiteral("Standup")), first.chopped(4) + QStringLiteral(" (2).mp3"));
    } else {
        // The clock moved on to the next second between the calls.
        EXPECT_NE(second, first);
    }
    EXPECT_EQ(readFile(library(first)), "first");
}

TEST_F(RecordingsStorageTest, EnhancedNames)
{
    RecordingItem item = makeItem(QStringLiteral("Call"), QStringLiteral("Call_1700000000.mp3"));
    EXPECT_EQ(storage.newEnhancedRecordingFileName(item), QStringLiteral("Call_1700000000_enhanced.mp3"));
    item.fileName = QStringLiteral("x.mp3.mp3");
    EXPECT_EQ(storage.newEnhancedRecordingFileName(item), QStringLiteral("x_enhanced.mp3"));
    const auto destination = storage.enhancedDestinationURL(item);
    EXPECT_EQ(destination.fileName, QStringLiteral("x_enhanced.mp3"));
    EXPECT_EQ(destination.url, library(QStringLiteral("x_enhanced.mp3")));

    EXPECT_FALSE(storage.enhancedFileURL(item));
    item.enhancedFileName = QStringLiteral("x_enhanced.mp3");
    EXPECT_FALSE(storage.enhancedFileURL(item)); // named but deleted behind our back
    writeFile(destination.url, "enhanced");
    EXPECT_EQ(storage.enhancedFileURL(item), destination.url);
}

TEST_F(RecordingsStorageTest, SaveKeepsTheFirstOfRepeatedIdsAndFileNames)
{
    const RecordingItem a = makeItem(QStringLiteral("A"), QStringLiteral("A_1.mp3"));
    RecordingItem sameId = makeItem(QStringLiteral("B"), QStringLiteral("B_1.mp3"));
    sameId.id = a.id;
    const RecordingItem sameFile = makeItem(QStringLiteral("C"), QStringLiteral("A_1.mp3"));
    const RecordingItem d = makeItem(QStringLiteral("D"), QStringLiteral("D_1.mp3"));
    const QList<RecordingItem> list{a, sameId, sameFile, d};
    storage.save(list);
    ASSERT_TRUE(storage.waitForSaves());
    EXPECT_EQ(list.size(), 4);

    const QByteArray text = readFile(storage.metadataFile());
    EXPECT_FALSE(text.contains('\n')); // compact
    const auto saved = RecordingsStorage::decodeIndex(text);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, (QList<RecordingItem>{a, d}));
    // Nothing but the index is left in the folder (the write went through a temporary file).
    EXPECT_EQ(QDir(QFileInfo(storage.metadataFile()).path()).entryList(QDir::Files), QStringList{"recordings.json"});
}

TEST_F(RecordingsStorageTest, NumbersJsonCannotHoldNeverLoseTheIndex)
{
    RecordingItem broken = makeItem(QStringLiteral("Broken"), QStringLiteral("Broken_1.mp3"));
    broken.duration = std::numeric_limits<double>::quiet_NaN();
    broken.waveformSamples = {0.5f, std::numeric_limits<float>::infinity()};
    broken.transcriptSegments = QList<TranscriptSegment>{
        {QUuid::createUuid(), -std::numeric_limits<double>::infinity(), 1.0, QStringLiteral("x")}};
    const RecordingItem good = makeItem(QStringLiteral("Good"), QStringLiteral("Good_1.mp3"));
    storage.save({good, broken});
    ASSERT_TRUE(storage.waitForSaves());

    const QByteArray text = readFile(storage.metadataFile());
    EXPECT_FALSE(text.contains("null")) << text.toStdString();
    const auto saved = RecordingsStorage::decodeIndex(text);
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->size(), 2);
    EXPECT_EQ(saved->at(0), good);
    EXPECT_EQ(saved->at(1).title, QStringLiteral("Broken"));
    EXPECT_EQ(saved->at(1).duration, 0.0);
    EXPECT_EQ(saved->at(1).waveformSamples, (QList<float>{0.5f, 0.0f}));
}

TEST_F(RecordingsStorageTest, DeleteTrashesFilesAndRemovesEntriesEvenWhenAudioIsGone)
{
    RecordingItem a = makeItem(QStringLiteral("A"), QStringLiteral("A_1.mp3"));
    a.enhancedFileName = QStringLiteral("A_1_enhanced.mp3");
    const RecordingItem b = makeItem(QStringLiteral("B"), QStringLiteral("B_1.mp3"));
    RecordingItem sameFile = makeItem(QStringLiteral("A again"), QStringLiteral("A_1.mp3"));
    writeFile(library(a.fileName), "a");
    writeFile(library(*a.enhancedFileName), "enhanced");
    writeFile(library(b.fileName), "b");

    QList<RecordingItem> list{a, b, sameFile};
    EXPECT_TRUE(storage.deleteItem(a, list));
    ASSERT_TRUE(storage.waitForSaves());
    EXPECT_EQ(list, QList<RecordingItem>{b});
    EXPECT_FALSE(QFile::exists(library(a.fileName)));
    EXPECT_FALSE(QFile::exists(library(*a.enhancedFileName)));
    EXPECT_EQ(readFile(UserTrash::trashedCopyOf(library(a.fileName))), "a");
    EXPECT_EQ(readFile(UserTrash::trashedCopyOf(library(*a.enhancedFileName))), "enhanced");
    EXPECT_TRUE(QFile::exists(library(b.fileName)));
    EXPECT_EQ(*RecordingsStorage::decodeIndex(readFile(storage.metadataFile())), list);

    // Its audio already gone: nothing to trash, still removed from the list and saved.
    QFile::remove(library(b.fileName));
    EXPECT_FALSE(storage.deleteItem(b, list));
    ASSERT_TRUE(storage.waitForSaves());
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(readFile(storage.metadataFile()), "[]");
}

TEST_F(RecordingsStorageTest, WithoutATrashDeleteRemovesTheFiles)
{
    // A data folder where the trash cannot be made: "Trash" is a file. Qt
    // then takes the current folder for a trash, which must stay empty.
    QTemporaryDir data;
    QTemporaryDir current;
    writeFile(QDir(data.path()).filePath(QStringLiteral("Trash")), "not a folder");
    const QByteArray ownData = qgetenv("XDG_DATA_HOME");
    const QString ownCurrent = QDir::currentPath();
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QDir::setCurrent(current.path());
    RecordingItem a = makeItem(QStringLiteral("A"), QStringLiteral("A_2.mp3"));
    a.enhancedFileName = QStringLiteral("A_2_enhanced.mp3");
    writeFile(library(a.fileName), "a");
    writeFile(library(*a.enhancedFileName), "enhanced");
    QList<RecordingItem> list{a};
    const bool trashed = storage.deleteItem(a, list);
    QDir::setCurrent(ownCurrent);
    qputenv("XDG_DATA_HOME", ownData);

    EXPECT_FALSE(trashed);
    EXPECT_TRUE(QDir(current.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_FALSE(QFile::exists(library(a.fileName)));
    EXPECT_FALSE(QFile::exists(library(*a.enhancedFileName)));
    EXPECT_TRUE(UserTrash::trashedCopyOf(library(a.fileName)).isEmpty());
    EXPECT_TRUE(list.isEmpty());
    ASSERT_TRUE(storage.waitForSaves());
    EXPECT_EQ(readFile(storage.metadataFile()), "[]");
}

TEST_F(RecordingsStorageTest, DeleteNeverTrashesTheRecordingsFolder)
{
    // An empty name stands for the folder itself.
    RecordingItem noFile = makeItem(QStringLiteral("No file"), QString());
    RecordingItem emptyCopyName = makeItem(QStringLiteral("C"), QStringLiteral("C_1.mp3"));
    emptyCopyName.enhancedFileName = QString();
    writeFile(library(emptyCopyName.fileName), "c");
    QList<RecordingItem> list{noFile, emptyCopyName};

    EXPECT_FALSE(storage.deleteItem(noFile, list));
    EXPECT_TRUE(storage.deleteItem(emptyCopyName, list));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(QFileInfo(storage.storageDirectory()).isDir());
    EXPECT_TRUE(UserTrash::trashedCopyOf(storage.storageDirectory()).isEmpty());
    EXPECT_EQ(readFile(UserTrash::trashedCopyOf(library(emptyCopyName.fileName))), "c");
    ASSERT_TRUE(storage.waitForSaves());
}

TEST_F(RecordingsStorageTest, ExportNamesNeverOverwrite)
{
    RecordingItem item = makeItem(QStringLiteral("Weekly sync"), QStringLiteral("Weekly sync_1.mp3"));
    writeFile(library(item.fileName), "original");
    const QDir out(downloads.path());

    EXPECT_EQ(storage.exportToDownloads(item, false), out.filePath(QStringLiteral("Weekly sync.mp3")));
    EXPECT_EQ(storage.exportToDownloads(item, false), out.filePath(QStringLiteral("Weekly sync (1).mp3")));
    // No enhanced copy: the recording itself under the plain name, not an error.
    EXPECT_EQ(storage.exportToDownloads(item, true), out.filePath(QStringLiteral("Weekly sync (2).mp3")));

    item.enhancedFileName = QStringLiteral("Weekly sync_1_enhanced.mp3");
    writeFile(library(*item.enhancedFileName), "enhanced");
    const QString enhanced = storage.exportToDownloads(item, true);
    EXPECT_EQ(enhanced, out.filePath(QStringLiteral("Weekly sync (Enhanced).mp3")));
    EXPECT_EQ(readFile(enhanced), "enhanced");
    EXPECT_EQ(readFile(out.filePath(QStringLiteral("Weekly sync.mp3"))), "original");

    item.title = QStringLiteral("   ");
    EXPECT_EQ(storage.exportToDownloads(item, true), out.filePath(QStringLiteral("Recording.mp3")));
    item.title = QStringLiteral("a/b");
    EXPECT_EQ(storage.exportToDownloads(item, false), out.filePath(QStringLiteral("a_b.mp3")));
}

TEST_F(RecordingsStorageTest, ExportOfAMissingFileThrows404)
{
    const RecordingItem item = makeItem(QStringLiteral("Gone"), QStringLiteral("Gone_1.mp3"));
    try {
        storage.exportToDownloads(item, false);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.domain(), QStringLiteral("RecordingsStorage"));
        EXPECT_EQ(e.code(), 404);
        EXPECT_EQ(e.message(), QStringLiteral("Source file not found at ") + library(item.fileName) + QLatin1Char('.'));
    }
    EXPECT_TRUE(QDir(downloads.path()).isEmpty());
}

TEST(RecordingsStorageTakeover, EarlierFolderIsTakenOverOnlyWhenTheNewOneIsAbsent)
{
    QTemporaryDir support;
    QTemporaryDir downloads;
    const QDir root(support.path());
    writeFile(root.filePath(QStringLiteral("CorvelleEnhanced/recordings.json")), "[]");
    writeFile(root.filePath(QStringLiteral("CorvelleEnhanced/Recordings/Old_1.mp3")), "old");
    writeFile(root.filePath(QStringLiteral("CorvelleEnhanced/Models/model.bin")), "model");
    {
        RecordingsStorage storage(support.path(), downloads.path());
        EXPECT_FALSE(root.exists(QStringLiteral("CorvelleEnhanced")));
        EXPECT_EQ(readFile(root.filePath(QStringLiteral("Nimbrel/Recordings/Old_1.mp3"))), "old");
        EXPECT_EQ(readFile(root.filePath(QStringLiteral("Nimbrel/Models/model.bin"))), "model");
        EXPECT_EQ(readFile(storage.metadataFile()), "[]");
    }
    // Both exist: the earlier one is left alone.
    writeFile(root.filePath(QStringLiteral("CorvelleEnhanced/Recordings/Other_1.mp3")), "other");
    RecordingsStorage again(support.path(), downloads.path());
    EXPECT_TRUE(root.exists(QStringLiteral("CorvelleEnhanced/Recordings/Other_1.mp3")));
    EXPECT_FALSE(root.exists(QStringLiteral("Nimbrel/Recordings/Other_1.mp3")));
}
