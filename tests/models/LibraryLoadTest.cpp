// Loading the library repairs it against the recordings folder: each case builds
// a small folder of real MP3 files (made with our encoder) and an index, loads,
// and checks what is left on disk and in the index.
#include "Mp3Fixture.h"

#include "common/FileUtils.h"
#include "models/RecordingsStorage.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <optional>

#include <gtest/gtest.h>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

struct FixtureFile {
    QString name;
    double seconds = 0; // of tone; 0 writes `bytes` zero bytes instead
    qint64 bytes = -1;  // the file's exact size, padded with zeros after the audio
    int bitrate = 192;
};

struct Entry {
    QString title;
    QString fileName;
    double duration = 0;
    bool transcript = false;
    QString enhancedFileName; // empty: absent
};

// What a case expects is written as wildcard patterns: an entry reads
// "title | fileName | duration (one decimal) | enhanced copy or - | created",
// where created is "now" for a date taken during the load and otherwise the
// seconds since 1970.
struct LoadCase {
    const char* name;
    QList<FixtureFile> files;
    std::optional<QList<Entry>> index; // nothing: no "recordings.json" at all
    QStringList entriesAfter;
    QStringList filesAfter;
};

constexpr double kIndexDates = 1600000000; // seconds since 1970 of the first index entry

RecordingItem indexItem(const QString& title, const QString& fileName, double unixSeconds, double duration)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = fileName;
    item.createdAt = Date::fromUnixSeconds(unixSeconds);
    item.duration = duration;
    item.fileSizeBytes = 1;
    item.waveformSamples = {0.5f};
    return item;
}

class LibraryLoad : public ::testing::Test {
protected:
    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage{support.path(), downloads.path()};
    qint64 loadStart = 0;
    qint64 loadEnd = 0;

    QString library(const QString& name) const { return QDir(storage.storageDirectory()).filePath(name); }

    void writeFixture(const FixtureFile& file)
    {
        const QString path = library(file.name);
        if (file.seconds > 0) {
            ASSERT_GT(Mp3Fixture::writeTone(path, file.seconds, file.bitrate), 0) << file.name.toStdString();
            if (file.bytes >= 0) {
                ASSERT_TRUE(Mp3Fixture::padTo(path, file.bytes)) << file.name.toStdString();
            }
        } else {
            Mp3Fixture::writeZeros(path, std::max<qint64>(file.bytes, 0));
        }
    }

    void writeIndex(const QList<Entry>& entries)
    {
        QList<RecordingItem> items;
        for (const Entry& entry : entries) {
            RecordingItem item =
                indexItem(entry.title, entry.fileName, kIndexDates - 60.0 * items.size(), entry.duration);
            if (entry.transcript)
                item.transcript = QStringLiteral("Words.");
            if (!entry.enhancedFileName.isEmpty())
                item.enhancedFileName = entry.enhancedFileName;
            items.append(item);
        }
        // Raw, so that repeated file names reach the load as they are.
        writeFile(storage.metadataFile(), RecordingsStorage::encodeIndex(items));
    }

    QList<RecordingItem> load()
    {
        loadStart = QDateTime::currentSecsSinceEpoch();
        QList<RecordingItem> result = storage.loadRecordings();
        loadEnd = QDateTime::currentSecsSinceEpoch();
        return result;
    }

    QString describe(const RecordingItem& item) const
    {
        const double created = item.createdAt.unixSeconds();
        // Fixture files are made just before the load; their file-system dates count as now.
        const bool now = created >= double(loadStart - 30) && created <= double(loadEnd + 1);
        return QStringLiteral("%1 | %2 | %3 | %4 | %5")
            .arg(item.title, item.fileName, QString::number(item.duration, 'f', 1),
                 item.enhancedFileName.value_or(QStringLiteral("-")),
                 now ? QStringLiteral("now") : QString::number(std::llround(created)));
    }

    QStringList folderNames() const
    {
        return QDir(storage.storageDirectory()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

// Every pattern matches exactly one line and every line one pattern.
void expectMatches(const QStringList& lines, const QStringList& patterns, const char* what)
{
    QStringList unmatched = lines;
    QStringList missing;
    for (const QString& pattern : patterns) {
        const QRegularExpression expression = QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive);
        const auto found = std::find_if(unmatched.begin(), unmatched.end(),
                                        [&](const QString& line) { return expression.match(line).hasMatch(); });
        if (found == unmatched.end())
            missing.append(pattern);
        else
            unmatched.erase(found);
    }
    EXPECT_TRUE(missing.isEmpty() && unmatched.isEmpty())
        << what << "\n  expected but not found: " << missing.join(QStringLiteral("; ")).toStdString()
        << "\n  found but not expected: " << unmatched.join(QStringLiteral("; ")).toStdString();
}

const QString kCaptureA = QStringLiteral(".recording_0B7A3A64-0F5C-4B4E-9B0D-1E2F3A4B5C6D.tmp");
const QString kCaptureB = QStringLiteral(".recording_1C8B4B75-1A6D-4C5F-8A1E-2F3A4B5C6D7E.tmp");
const QString kCaptureC = QStringLiteral(".recording_2D9C5C86-2B7E-4D60-9B2F-3A4B5C6D7E8F.tmp");

const QList<LoadCase> kCases = {
    {"first start with an empty folder", {}, std::nullopt, {}, {}},
    {"interrupted captures: too small removed, long taken back, short renamed then removed",
     {{kCaptureA, 2.0, 10000, 32}, {kCaptureB, 3.0, 20000, 32}, {kCaptureC, 0.8, 20000}},
     std::nullopt,
     {"Recovered Recording | Recovered_????????.mp3 | 3.0 | - | now"},
     {"Recovered_????????.mp3"}},
    {"taken-back captures share a title, so the short one is pruned with its file",
     {{kCaptureA, 1.3}, {kCaptureB, 10.0}},
     QList<Entry>{},
     {"Recovered Recording | Recovered_????????.mp3 | 10.0 | - | now"},
     {"Recovered_????????.mp3"}},
    {"missing audio drops the entry and its enhanced copy stays unadopted; an empty file goes too",
     {{"Gone_1700000000_enhanced.mp3", 3.0}, {"Empty_1700000000.mp3", 0, 0}},
     QList<Entry>{{"Gone", "Gone_1700000000.mp3", 5, false, "Gone_1700000000_enhanced.mp3"},
                  {"Empty", "Empty_1700000000.mp3", 5}},
     {},
     {"Gone_1700000000_enhanced.mp3"}},
    {"enhanced copies are found again or forgotten",
     {{"Call_1700000000.mp3", 2.0}, {"Call_1700000000_enhanced.mp3", 2.0}, {"Talk_1700000000.mp3", 2.0}},
     QList<Entry>{{"Call", "Call_1700000000.mp3", 5},
                  {"Talk", "Talk_1700000000.mp3", 5, false, "Talk_1700000000_enhanced.mp3"}},
     {"Call | Call_1700000000.mp3 | 5.0 | Call_1700000000_enhanced.mp3 | *",
      "Talk | Talk_1700000000.mp3 | 5.0 | - | *"},
     {"Call_1700000000.mp3", "Call_1700000000_enhanced.mp3", "Talk_1700000000.mp3"}},
    {"enhanced copies, hidden files and other kinds of file are never adopted nor removed",
     {{"Lonely_1700000000_enhanced.mp3", 3.0}, {".hidden_1700000000.mp3", 3.0}, {"notes.txt", 0, 100},
      {"LOUD.MP3", 3.0}},
     std::nullopt,
     {},
     {".hidden_1700000000.mp3", "LOUD.MP3", "Lonely_1700000000_enhanced.mp3", "notes.txt"}},
    {"one entry per file: a longer newcomer wins over a held transcript",
     {{"Same.mp3", 2.0}},
     QList<Entry>{{"With transcript", "Same.mp3", 10, true}, {"Longer", "Same.mp3", 12}},
     {"Longer | Same.mp3 | 12.0 | - | *"},
     {"Same.mp3"}},
    {"one entry per file: a newcomer with a transcript wins over a longer held one without",
     {{"Same.mp3", 2.0}},
     QList<Entry>{{"Longer", "Same.mp3", 12}, {"With transcript", "Same.mp3", 10, true}},
     {"With transcript | Same.mp3 | 10.0 | - | *"},
     {"Same.mp3"}},
    {"short duplicates of a title go, and so do their small files",
     {{"Standup_1700000001.mp3", 0.9}, {"Standup_1700000002.mp3", 1.2}, {"Standup_1700000003.mp3", 30.0}},
     QList<Entry>{{"Standup", "Standup_1700000001.mp3", 0.9},
                  {"Standup", "Standup_1700000002.mp3", 1.2},
                  {"Standup", "Standup_1700000003.mp3", 30}},
     {"Standup | Standup_1700000003.mp3 | 30.0 | - | *"},
     {"Standup_1700000003.mp3"}},
    {"a short duplicate's large file stays and is adopted under a counter",
     {{"Standup_1700000001.mp3", 0.9}, {"Standup_1700000002.mp3", 1.2, 70000}, {"Standup_1700000003.mp3", 30.0}},
     QList<Entry>{{"Standup", "Standup_1700000001.mp3", 0.9},
                  {"Standup", "Standup_1700000002.mp3", 1.2},
                  {"Standup", "Standup_1700000003.mp3", 30}},
     {"Standup | Standup_1700000003.mp3 | 30.0 | - | *",
      "Standup (1) | Standup_1700000002.mp3 | 1.2 | - | 1700000002"},
     {"Standup_1700000002.mp3", "Standup_1700000003.mp3"}},
    {"without a real recording of a title the longest stays and the others' files come back",
     {{"Memo_1700000001.mp3", 1.2}, {"Memo_1700000002.mp3", 1.4}},
     QList<Entry>{{"Memo", "Memo_1700000001.mp3", 1.2}, {"Memo", "Memo_1700000002.mp3", 1.4}},
     {"Memo | Memo_1700000002.mp3 | 1.4 | - | *", "Memo (1) | Memo_1700000001.mp3 | 1.2 | - | 1700000001"},
     {"Memo_1700000001.mp3", "Memo_1700000002.mp3"}},
    {"among equally short entries of a title the first stays",
     {{"Clip_1700000001.mp3", 1.2}, {"Clip_1700000002.mp3", 1.2}},
     QList<Entry>{{"Clip", "Clip_1700000001.mp3", 1.0}, {"Clip", "Clip_1700000002.mp3", 1.0}},
     {"Clip | Clip_1700000001.mp3 | 1.0 | - | *", "Clip (1) | Clip_1700000002.mp3 | 1.2 | - | 1700000002"},
     {"Clip_1700000001.mp3", "Clip_1700000002.mp3"}},
    {"orphans take their title and date from the name",
     {{"Weekly_1712345678.mp3", 40.0, 500000, 96}, {"memo.mp3", 3.0}, {"_1712345678.mp3", 3.0},
      {"a_b_1712345678.mp3", 3.0}},
     std::nullopt,
     {"Weekly | Weekly_1712345678.mp3 | 40.0 | - | 1712345678", "memo | memo.mp3 | 3.0 | - | now",
      "_1712345678 | _1712345678.mp3 | 3.0 | - | 1712345678", "a | a_b_1712345678.mp3 | 3.0 | - | 1712345678"},
     {"Weekly_1712345678.mp3", "_1712345678.mp3", "a_b_1712345678.mp3", "memo.mp3"}},
    {"a time stamp in a name is digits only and a real date",
     {{"x_inf.mp3", 2.0}, {"y_1e309.mp3", 2.0}, {"z_99999999999999999999999.mp3", 2.0}, {"n_nan.mp3", 2.0},
      {"p_+1712345678.mp3", 2.0}, {"s_1000000000.mp3", 2.0}},
     std::nullopt,
     {"x | x_inf.mp3 | 2.0 | - | now", "y | y_1e309.mp3 | 2.0 | - | now",
      "z | z_99999999999999999999999.mp3 | 2.0 | - | now", "n | n_nan.mp3 | 2.0 | - | now",
      "p | p_+1712345678.mp3 | 2.0 | - | now", "s | s_1000000000.mp3 | 2.0 | - | now"},
     {"n_nan.mp3", "p_+1712345678.mp3", "s_1000000000.mp3", "x_inf.mp3", "y_1e309.mp3",
      "z_99999999999999999999999.mp3"}},
    {"orphan titles never repeat one in use",
     {{"Notes.mp3", 2.0}, {"Notes_1700000000.mp3", 2.0}, {"Notes_1700000100.mp3", 2.0}},
     QList<Entry>{{"Notes", "Notes.mp3", 5}},
     {"Notes | Notes.mp3 | 5.0 | - | *", "Notes (1) | Notes_1700000000.mp3 | 2.0 | - | 1700000000",
      "Notes (2) | Notes_1700000100.mp3 | 2.0 | - | 1700000100"},
     {"Notes.mp3", "Notes_1700000000.mp3", "Notes_1700000100.mp3"}},
    {"small, short and unreadable orphans are removed",
     {{"Tiny_1700000000.mp3", 1.1, 5000, 32}, {"Brief_1700000000.mp3", 0.9}, {"Noise_1700000000.mp3", 0, 20000}},
     std::nullopt,
     {},
     {}},
};

} // namespace

TEST_F(LibraryLoad, RepairsEachSituation)
{
    for (const LoadCase& c : kCases) {
        SCOPED_TRACE(c.name);
        QDir(storage.storageDirectory()).removeRecursively();
        QFile::remove(storage.metadataFile());
        QDir().mkpath(storage.storageDirectory());
        for (const FixtureFile& file : c.files)
            writeFixture(file);
        if (c.index)
            writeIndex(*c.index);

        const QList<RecordingItem> loaded = load();

        QStringList lines;
        for (const RecordingItem& item : loaded)
            lines.append(describe(item));
        expectMatches(lines, c.entriesAfter, "entries");
        expectMatches(folderNames(), c.filesAfter, "files");

        EXPECT_TRUE(std::is_sorted(loaded.begin(), loaded.end(), [](const RecordingItem& a, const RecordingItem& b) {
            return a.createdAt > b.createdAt;
        })) << "not newest first";
        for (const RecordingItem& item : loaded) {
            EXPECT_EQ(item.fileSizeBytes, FileUtils::fileSize(library(item.fileName))) << item.fileName.toStdString();
            EXPECT_TRUE(std::isfinite(item.duration) && std::isfinite(item.createdAt.referenceSeconds()));
            // Index entries carry one sample; records the load makes carry a made-up waveform.
            if (item.waveformSamples.size() != 1) {
                const bool takenBack = item.title == QLatin1String("Recovered Recording");
                EXPECT_EQ(item.waveformSamples.size(), takenBack ? 120 : 80);
                for (float sample : item.waveformSamples) {
                    EXPECT_GE(sample, takenBack ? 0.2f : 0.15f);
                    EXPECT_LE(sample, takenBack ? 0.6f : 0.7f);
                }
                EXPECT_FALSE(item.recordingType);
            }
        }
        const QByteArray saved = readFile(storage.metadataFile());
        if (loaded.isEmpty()) {
            EXPECT_EQ(saved, "[]");
        }
        EXPECT_EQ(RecordingsStorage::decodeIndex(saved), loaded);
        // Nothing was set aside as damaged: every index here decodes.
        EXPECT_TRUE(QDir(QFileInfo(storage.metadataFile()).path())
                        .entryList({QStringLiteral("recordings.json.corrupt-*")}, QDir::Files)
                        .isEmpty());
    }
}

TEST_F(LibraryLoad, DamagedIndexIsKeptWholeAndWhatItHoldsStillLoads)
{
    Mp3Fixture::writeTone(library(QStringLiteral("Weekly_1712345678.mp3")), 3.0);
    Mp3Fixture::writeTone(library(QStringLiteral("Interview_1712345000.mp3")), 2.0);
    RecordingItem weekly = indexItem(QStringLiteral("Weekly sync"), QStringLiteral("Weekly_1712345678.mp3"), 1712345678, 3);
    weekly.transcript = QStringLiteral("Only this copy holds the transcript.");
    RecordingItem interview =
        indexItem(QStringLiteral("Interview call"), QStringLiteral("Interview_1712345000.mp3"), 1712345000, 2);
    interview.transcript = QStringLiteral("Cut off with the end of the file.");
    // Cut inside the second record, as a disk that filled up mid-write by another tool would leave it.
    QByteArray original = RecordingsStorage::encodeIndex({weekly, interview});
    original.chop(20);
    writeFile(storage.metadataFile(), original);
    const QDir appFolder(QFileInfo(storage.metadataFile()).path());
    const QRegularExpression asideName(
        QStringLiteral("^recordings\\.json\\.corrupt-\\d{4}-\\d{2}-\\d{2}T\\d{2}-\\d{2}-\\d{2}Z( \\(\\d+\\))?$"));
    auto asideCopies = [&] {
        return appFolder.entryList({QStringLiteral("recordings.json.corrupt-*")}, QDir::Files, QDir::Name);
    };

    testing::internal::CaptureStdout();
    const QList<RecordingItem> loaded = load();
    const std::string said = testing::internal::GetCapturedStdout();

    const QStringList copies = asideCopies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(asideName.match(copies.first()).hasMatch()) << copies.first().toStdString();
    EXPECT_EQ(readFile(appFolder.filePath(copies.first())), original);
    EXPECT_NE(said.find("[RecordingsStorage]"), std::string::npos) << said;
    EXPECT_NE(said.find(copies.first().toStdString()), std::string::npos) << said;

    // The record before the damage loads whole; the other's file is adopted.
    QStringList lines;
    for (const RecordingItem& item : loaded)
        lines.append(describe(item));
    expectMatches(lines,
                  {"Weekly sync | Weekly_1712345678.mp3 | 3.0 | - | 1712345678",
                   "Interview | Interview_1712345000.mp3 | 2.0 | - | 1712345000"},
                  "entries");
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded.first().transcript, weekly.transcript);
    EXPECT_EQ(loaded.first().id, weekly.id);
    EXPECT_EQ(RecordingsStorage::decodeIndex(readFile(storage.metadataFile())), loaded);

    // Spoiled again at once: the earlier copy is never replaced.
    writeFile(storage.metadataFile(), "{ not json");
    testing::internal::CaptureStdout();
    EXPECT_EQ(load().size(), 2);
    testing::internal::GetCapturedStdout();
    const QStringList twoCopies = asideCopies();
    ASSERT_EQ(twoCopies.size(), 2);
    EXPECT_EQ(readFile(appFolder.filePath(copies.first())), original);
    for (const QString& name : twoCopies) {
        EXPECT_TRUE(asideName.match(name).hasMatch()) << name.toStdString();
        if (name != copies.first()) {
            EXPECT_EQ(readFile(appFolder.filePath(name)), "{ not json");
        }
    }

    // A good index is never set aside.
    load();
    EXPECT_EQ(asideCopies().size(), 2);
}

TEST_F(LibraryLoad, EntriesSharingAnIdBothStayUnderIdsOfTheirOwn)
{
    Mp3Fixture::writeTone(library(QStringLiteral("Old_1700000000.mp3")), 2.0);
    Mp3Fixture::writeTone(library(QStringLiteral("New_1700000100.mp3")), 2.0);
    RecordingItem older = indexItem(QStringLiteral("Old"), QStringLiteral("Old_1700000000.mp3"), 1700000000, 2);
    older.transcript = QStringLiteral("The older one's words.");
    RecordingItem newer = indexItem(QStringLiteral("New"), QStringLiteral("New_1700000100.mp3"), 1700000100, 2);
    newer.transcript = QStringLiteral("The newer one's words.");
    newer.id = older.id;
    writeFile(storage.metadataFile(), RecordingsStorage::encodeIndex({older, newer}));

    const QList<RecordingItem> loaded = load();
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[0].title, QStringLiteral("New"));
    EXPECT_EQ(loaded[1].title, QStringLiteral("Old"));
    EXPECT_NE(loaded[0].id, loaded[1].id);
    EXPECT_EQ(loaded[1].id, older.id); // the first keeps its id
    EXPECT_EQ(loaded[0].transcript, newer.transcript);
    EXPECT_EQ(loaded[1].transcript, older.transcript);
    EXPECT_EQ(RecordingsStorage::decodeIndex(readFile(storage.metadataFile())), loaded);
}

TEST_F(LibraryLoad, NamesInTheIndexNeverReachOutsideTheFolder)
{
    // An index edited by hand names files by path. Pruning the short "Short"
    // entry would otherwise remove a file beside the library.
    const QString outside = QDir(QFileInfo(storage.metadataFile()).path()).filePath(QStringLiteral("outside.mp3"));
    Mp3Fixture::writeTone(outside, 0.5);
    Mp3Fixture::writeTone(library(QStringLiteral("Short_1700000000.mp3")), 2.0);
    RecordingItem pathEntry = indexItem(QStringLiteral("Short"), QStringLiteral("../outside.mp3"), 1700000000, 0.5);
    RecordingItem real = indexItem(QStringLiteral("Short"), QStringLiteral("Short_1700000000.mp3"), 1700000000, 30);
    real.enhancedFileName = QStringLiteral("../outside.mp3");
    writeFile(storage.metadataFile(), RecordingsStorage::encodeIndex({pathEntry, real}));

    const QList<RecordingItem> loaded = load();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded.first().fileName, QStringLiteral("Short_1700000000.mp3"));
    EXPECT_FALSE(loaded.first().enhancedFileName);
    EXPECT_TRUE(QFile::exists(outside));
}
