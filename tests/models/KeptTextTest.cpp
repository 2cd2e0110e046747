// Titles, transcripts and recaps take a model and minutes to make again: after
// a load each one that was in the index is still in the library or, byte for
// byte, in the side copy beside the index, and the audio files are untouched.
#include "Mp3Fixture.h"

#include "common/ScratchFileName.h"
#include "models/IndexCodec.h"
#include "models/RecordingsStorage.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QHash>

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

enum class FileKind { tone, empty, fifo, device };

struct FileSpec {
    QString name;
    FileKind kind = FileKind::tone;
    double seconds = 2;
    qint64 padTo = -1; // bytes, zeros after the audio
};

struct EntrySpec {
    QString title;
    QString fileName; // "<outside>/" stands for a folder beside the library
    double duration = 5;
};

struct KeepCase {
    const char* name;
    QList<FileSpec> files;
    QList<EntrySpec> entries;
    QStringList listed; // titles after the load, in any order
};

const QString kOutside = QStringLiteral("<outside>/");

const QList<KeepCase> kCases = {
    {"a name that climbs out of the folder",
     {{"Kept_1700000000.mp3"}},
     {{"Kept", "Kept_1700000000.mp3"}, {"Climber", "../Outside_1700000000.mp3"}},
     {"Kept"}},
    {"an absolute path",
     {{"Kept_1700000000.mp3"}},
     {{"Kept", "Kept_1700000000.mp3"}, {"Absolute", kOutside + "Outside_1700000000.mp3"}},
     {"Kept"}},
    {"a FIFO and a device in place of the audio",
     {{"Pipe_1700000000.mp3", FileKind::fifo}, {"Null_1700000000.mp3", FileKind::device}},
     {{"Pipe", "Pipe_1700000000.mp3"}, {"Null", "Null_1700000000.mp3"}},
     {}},
    {"an empty file and a missing one",
     {{"Empty_1700000000.mp3", FileKind::empty}},
     {{"Empty", "Empty_1700000000.mp3"}, {"Gone", "Gone_1700000000.mp3"}},
     {}},
    {"two records on one file",
     {{"Same_1700000000.mp3"}},
     {{"Shorter", "Same_1700000000.mp3", 10}, {"Longer", "Same_1700000000.mp3", 12}},
     {"Longer"}},
    {"a short duplicate of a title, whose large file is adopted again",
     {{"Standup_1700000001.mp3", FileKind::tone, 1.2, 70000}, {"Standup_1700000002.mp3", FileKind::tone, 30}},
     {{"Standup", "Standup_1700000001.mp3", 1.2}, {"Standup", "Standup_1700000002.mp3", 30}},
     {"Standup", "Standup (1)"}},
    {"short records of one title: the longest stays",
     {{"Memo_1700000001.mp3", FileKind::tone, 1.2}, {"Memo_1700000002.mp3", FileKind::tone, 1.4}},
     {{"Memo", "Memo_1700000001.mp3", 1.2}, {"Memo", "Memo_1700000002.mp3", 1.4}},
     {"Memo", "Memo (1)"}},
    {"nothing to take out",
     {{"Fine_1700000000.mp3"}},
     {{"Fine", "Fine_1700000000.mp3"}},
     {"Fine"}},
};

class KeptText : public ::testing::Test {
protected:
    void SetUp() override { fresh(); }

    void fresh()
    {
        m_support = std::make_unique<QTemporaryDir>();
        m_outside = std::make_unique<QTemporaryDir>();
        m_storage = std::make_unique<RecordingsStorage>(m_support->path(), m_support->filePath(QStringLiteral("dl")));
    }

    QString library(const QString& name) const { return QDir(m_storage->storageDirectory()).filePath(name); }
    QDir appFolder() const { return QFileInfo(m_storage->metadataFile()).dir(); }

    QStringList sideCopies() const
    {
        return appFolder().entryList({QStringLiteral("recordings.json.removed-*")}, QDir::Files, QDir::Name);
    }

    RecordingsStorage::Loaded load()
    {
        RecordingsStorage::Loaded loaded = m_storage->loadLibrary();
        EXPECT_TRUE(m_storage->waitForSaves());
        return loaded;
    }

    std::unique_ptr<QTemporaryDir> m_support;
    std::unique_ptr<QTemporaryDir> m_outside;
    std::unique_ptr<RecordingsStorage> m_storage;
};

qsizetype messagesNaming(const QStringList& messages, const QString& name)
{
    return std::count_if(messages.begin(), messages.end(), [&](const QString& line) { return line.contains(name); });
}

} // namespace

TEST_F(KeptText, EveryTextARepairTakesOutIsInTheSideCopy)
{
    for (const KeepCase& c : kCases) {
        SCOPED_TRACE(c.name);
        fresh();
        QHash<QString, QByteArray> audio; // path -> bytes before the load
        const auto place = [&](const QString& name) {
            return name.startsWith(kOutside) ? m_outside->filePath(name.mid(kOutside.size())) : library(name);
        };
        Mp3Fixture::writeTone(m_outside->filePath(QStringLiteral("Outside_1700000000.mp3")), 0.5);
        audio.insert(m_outside->filePath(QStringLiteral("Outside_1700000000.mp3")), {});
        for (const FileSpec& file : c.files) {
            const QString path = library(file.name);
            switch (file.kind) {
            case FileKind::tone:
                Mp3Fixture::writeTone(path, file.seconds);
                if (file.padTo > 0) {
                    ASSERT_TRUE(Mp3Fixture::padTo(path, file.padTo));
                }
                audio.insert(path, {});
                break;
            case FileKind::empty:
                writeFile(path, {});
                break;
            case FileKind::fifo:
                ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                break;
            case FileKind::device:
                ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), path));
                break;
            }
        }
        for (const EntrySpec& entry : c.entries) {
            if (entry.fileName.startsWith(QLatin1String("../"))) {
                Mp3Fixture::writeTone(library(entry.fileName), 0.5);
                audio.insert(library(entry.fileName), {});
            }
        }
        for (auto it = audio.begin(); it != audio.end(); ++it)
            it.value() = readFile(it.key());

        QList<RecordingItem> indexed;
        for (const EntrySpec& entry : c.entries) {
            RecordingItem item;
            item.id = QUuid::createUuid();
            item.title = entry.title;
            item.fileName = entry.fileName.startsWith(kOutside) ? place(entry.fileName) : entry.fileName;
            item.createdAt = Date::fromUnixSeconds(1700000000 - 60.0 * indexed.size());
            item.duration = entry.duration;
            item.fileSizeBytes = 1;
            item.waveformSamples = {0.5f};
            item.transcript = QString::fromUtf8("Words of ") + entry.title + QString::fromUtf8(" \xe2\x80\x94 caf\xc3\xa9 \xf0\x9f\x98\x80");
            item.transcriptSegments = QList<TranscriptSegment>{{QUuid::createUuid(), 0, 1, *item.transcript}};
            item.summary = QStringLiteral("# Recap of ") + entry.title + QStringLiteral("\n- \"quoted\"\t\\ ");
            item.summaryCreatedAt = Date::fromUnixSeconds(1700000100);
            indexed.append(item);
        }
        writeFile(m_storage->metadataFile(), RecordingsStorage::encodeIndex(indexed));

        const RecordingsStorage::Loaded loaded = load();

        QStringList titles;
        for (const RecordingItem& item : loaded.recordings)
            titles.append(item.title);
        titles.sort();
        QStringList expected = c.listed;
        expected.sort();
        EXPECT_EQ(titles, expected);

        const QStringList copies = sideCopies();
        QList<RecordingItem> aside;
        if (copies.size() == 1)
            aside = RecordingsStorage::decodeIndex(readFile(appFolder().filePath(copies.first()))).value_or(aside);
        bool anyTakenOut = false;
        for (const RecordingItem& before : indexed) {
            SCOPED_TRACE(before.title.toStdString());
            const auto byId = [&](const QList<RecordingItem>& list) -> const RecordingItem* {
                const auto found = std::find_if(list.begin(), list.end(),
                                                [&](const RecordingItem& item) { return item.id == before.id; });
                return found == list.end() ? nullptr : &*found;
            };
            const RecordingItem* listed = byId(loaded.recordings);
            const RecordingItem* kept = byId(aside);
            EXPECT_NE(listed == nullptr, kept == nullptr) << "in the library or in the side copy, not both";
            anyTakenOut = anyTakenOut || kept;
            if (const RecordingItem* found = listed ? listed : kept) {
                EXPECT_EQ(found->title, before.title);
                EXPECT_EQ(found->fileName, before.fileName);
                EXPECT_EQ(found->transcript, before.transcript);
                EXPECT_EQ(found->transcriptSegments, before.transcriptSegments);
                EXPECT_EQ(found->summary, before.summary);
                EXPECT_EQ(found->summaryCreatedAt, before.summaryCreatedAt);
            }
        }
        EXPECT_EQ(copies.size(), anyTakenOut ? 1 : 0);
        EXPECT_EQ(messagesNaming(loaded.messages, QStringLiteral("recordings.json.removed-")), anyTakenOut ? 1 : 0);
        for (auto it = audio.cbegin(); it != audio.cend(); ++it)
            EXPECT_EQ(readFile(it.key()), it.value()) << it.key().toStdString();
        EXPECT_TRUE(appFolder().entryList({QStringLiteral("recordings.json.corrupt-*")}, QDir::Files).isEmpty());

        // Said once: the next start has nothing more to take out.
        const RecordingsStorage::Loaded again = load();
        EXPECT_EQ(sideCopies(), copies);
        EXPECT_EQ(messagesNaming(again.messages, QStringLiteral("recordings.json.removed-")), 0);
    }
}

TEST_F(KeptText, RecordsMendedAsTheyLoadKeepTheirOriginalBesideTheIndex)
{
    Mp3Fixture::writeTone(library(QStringLiteral("A_1700000000.mp3")), 2);
    const QByteArray head = R"({"id":"6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10","fileName":"A_1700000000.mp3",)"
                            R"("createdAt":1,"duration":2,"fileSizeBytes":3,)";
    const QByteArray longTitle = '"' + QByteArray(300, 'a') + QString(900, QChar(0x4E2D)).toUtf8() + '"';
    const QByteArray original = head + R"("title":)" + longTitle + R"(,"waveformSamples":[0.5,NaN,0.7],)"
        + R"("transcript":"caf)" + QByteArray("\xe9") + R"(","transcriptSegments":[7],"summary":"# Kept"})";
    writeFile(m_storage->metadataFile(), "[" + original + "]");

    const RecordingsStorage::Loaded loaded = load();
    ASSERT_EQ(loaded.recordings.size(), 1);
    const RecordingItem& item = loaded.recordings.first();
    EXPECT_EQ(item.title.size(), 1000);
    EXPECT_TRUE(QString::fromUtf8(longTitle.mid(1, longTitle.size() - 2)).startsWith(item.title));
    EXPECT_EQ(item.waveformSamples, (QList<float>{0.5f, 0, 0.7f}));
    EXPECT_EQ(item.transcript, QString::fromUtf16(u"caf\uFFFD"));
    EXPECT_EQ(item.transcriptSegments, QList<TranscriptSegment>{});
    EXPECT_EQ(item.summary, QStringLiteral("# Kept"));

    const QStringList copies = sideCopies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readFile(appFolder().filePath(copies.first())), "[" + original + "]");
    EXPECT_EQ(messagesNaming(loaded.messages, copies.first()), 1);
    // The index holds the mended record now; the next start changes nothing.
    EXPECT_EQ(RecordingsStorage::decodeIndex(readFile(m_storage->metadataFile())), loaded.recordings);
    const RecordingsStorage::Loaded again = load();
    EXPECT_EQ(again.recordings, loaded.recordings);
    EXPECT_EQ(sideCopies(), copies);
}

TEST_F(KeptText, OnlyOurScratchFilesOlderThanThisRunAreRemoved)
{
    const QString merge = ScratchFileName::make(ScratchFileName::Kind::merge);
    const QString trim = ScratchFileName::make(ScratchFileName::Kind::trim);
    const QString enhancement = ScratchFileName::make(ScratchFileName::Kind::enhancement);
    const QString current = ScratchFileName::make(ScratchFileName::Kind::merge);
    const QStringList notOurs = {QStringLiteral(".merge_temp_notes.mp3"), QStringLiteral(".trim_temp_x.mp3.keep"),
                                 QStringLiteral(".merge_temp_0b7a3a64-0f5c-4b4e-9b0d-1e2f3a4b5c6d.mp3")};
    for (const QString& name : QStringList{merge, trim, enhancement, current} + notOurs) {
        writeFile(library(name), QByteArray(20000, 'x'));
        if (name == current)
            continue; // written during this run: an edit still going
        const qint64 earlier = ScratchFileName::runStartedMSecs() / 1000 - 60;
        const utimbuf times{earlier, earlier};
        ASSERT_EQ(::utime(QFile::encodeName(library(name)).constData(), &times), 0);
    }
    for (const QString& name : {merge, trim, enhancement, current})
        EXPECT_TRUE(ScratchFileName::isScratch(name)) << name.toStdString();

    const RecordingsStorage::Loaded loaded = load();
    EXPECT_TRUE(loaded.recordings.isEmpty());
    QStringList left = QDir(m_storage->storageDirectory()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList expected = notOurs + QStringList{current};
    expected.sort();
    EXPECT_EQ(left, expected);
}
