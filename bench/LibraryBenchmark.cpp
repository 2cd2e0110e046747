// Library benchmark: saves and reloads an index of 10,000 recordings (120-bar
// waveforms, 200 transcript segments each) and compares the time with a bare
// QJsonDocument parse and serialize of the same file; times the read of a
// record holding a 10-million-value waveform; then times a load with repair of
// that library with 100 unlisted MP3 files beside it.
// The last line is save+load divided by the bare parse+serialize.
#include "models/IndexCodec.h"
#include "models/IndexFile.h"
#include "models/RecordingsStorage.h"

#include "GeneratedLibrary.h"
#include "GeneratedRecording.h"
#include "MedianTime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

// The library's size and the timed runs per figure can be given on the command
// line ("library_bench 1000 1") for quicker looks; the figures we keep use the defaults.
int kRecordings = 10000;
int kRuns = 3;
constexpr int kBars = 120;
constexpr int kSegments = 200;
constexpr int kOrphans = 100;
constexpr double kOrphanSeconds = 60;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The index as a load reads it: the file, then record by record.
QList<RecordingItem> readIndex(const QString& path)
{
    const IndexFile::Contents contents = IndexFile::read(path, IndexCodec::padding());
    return IndexCodec::decode(contents.text).records;
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// A minute of tone, written once and copied for every orphan.
QByteArray orphanAudio(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("orphan.mp3"));
    GeneratedRecording::write(path, kOrphanSeconds, 1.0,
                              [](double t) { return 8000 * std::sin(2 * M_PI * 440 * t); });
    QByteArray data = readAll(path);
    QFile::remove(path);
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1)
        kRecordings = std::max(1, QByteArray(argv[1]).toInt());
    if (argc > 2)
        kRuns = std::max(1, QByteArray(argv[2]).toInt());
    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage(support.path(), downloads.path());
    const QList<RecordingItem> library = generatedLibrary({kRecordings, kSegments, kBars, 60, 3660, false});

    // The file format as written by the library, and the bare baseline on it.
    storage.save(library);
    storage.waitForSaves(std::chrono::minutes(5));
    const QByteArray file = readAll(storage.metadataFile());
    std::printf("index: %d recordings, %d bars and %d segments each: %.1f MB\n", kRecordings, kBars, kSegments,
                file.size() / 1e6);

    QJsonDocument document;
    const double parse = medianSeconds(kRuns, [&] { document = QJsonDocument::fromJson(file); });
    QByteArray serialized;
    const double serialize = medianSeconds(kRuns, [&] { serialized = document.toJson(QJsonDocument::Compact); });
    document = {};
    const double bare = parse + serialize;
    std::printf("bare QJsonDocument: parse %.3f s + serialize %.3f s = %.3f s\n", parse, serialize, bare);

    const double encode = medianSeconds(kRuns, [&] { serialized = RecordingsStorage::encodeIndex(library); });
    serialized = {};
    const double save = medianSeconds(kRuns, [&] {
        storage.save(library);
        storage.waitForSaves(std::chrono::minutes(5));
    });
    QList<RecordingItem> reloaded;
    const double load = medianSeconds(kRuns, [&] { reloaded = readIndex(storage.metadataFile()); });
    if (reloaded != library) {
        std::printf("the reloaded index differs from the saved one\n");
        return 1;
    }
    reloaded = {};
    std::printf("save %.3f s (encoding alone %.3f s; the rest is the atomic write and sync) + load %.3f s = %.3f s\n",
                save, encode, load, save + load);

    // One damaged record: a waveform of ten million values, reduced as it is read.
    {
        RecordingItem huge = library.first();
        huge.transcriptSegments.reset();
        QRandomGenerator random(7);
        huge.waveformSamples.clear();
        huge.waveformSamples.reserve(10'000'000);
        for (int i = 0; i < 10'000'000; ++i)
            huge.waveformSamples.append(float(random.generateDouble()));
        const QString path = QDir(support.path()).filePath(QStringLiteral("huge.json"));
        writeAll(path, RecordingsStorage::encodeIndex({huge}));
        huge = {};
        QList<RecordingItem> read;
        const double seconds = medianSeconds(kRuns, [&] { read = readIndex(path); });
        if (read.size() != 1 || read.first().waveformSamples.size() != 120) {
            std::printf("the ten-million-value waveform was not read down to 120 bars\n");
            return 1;
        }
        std::printf("a record with a 10,000,000-value waveform (%.0f MB): read in %.0f ms\n",
                    QFileInfo(path).size() / 1e6, seconds * 1000);
        QFile::remove(path);
    }

    // Load with repair: every recording's file present (hard links to one small
    // file: the load only reads their sizes), plus the orphans, which it reads
    // in full to learn their length.
    const QDir folder(storage.storageDirectory());
    const QString audio = folder.filePath(QStringLiteral(".audio"));
    writeAll(audio, QByteArray(30000, 'x'));
    for (const RecordingItem& item : library)
        ::link(QFile::encodeName(audio).constData(), QFile::encodeName(folder.filePath(item.fileName)).constData());
    QFile::remove(audio);
    const QByteArray orphan = orphanAudio(support.path());
    for (int i = 0; i < kOrphans; ++i)
        writeAll(folder.filePath(QStringLiteral("Orphan_%1.mp3").arg(1700000000 + i)), orphan);

    int loaded = 0;
    const double repair = medianSeconds(kRuns, [&] {
        writeAll(storage.metadataFile(), file); // the orphans are unlisted again
        loaded = int(storage.loadRecordings().size());
    });
    if (loaded != kRecordings + kOrphans) {
        std::printf("the load with repair kept %d recordings, not %d\n", loaded, kRecordings + kOrphans);
        return 1;
    }
    std::printf("load with repair of %d recordings and %d orphans (%.0f s MP3 files): %.3f s\n", kRecordings,
                kOrphans, kOrphanSeconds, repair);
    std::printf("save+load / bare parse+serialize: %.2f\n", (save + load) / bare);
    return 0;
}
