// Loading a library whose one record holds a title of 100 MB (an index damaged
// or written by another tool): the record loads with its title cut and the
// whole record goes to the side copy. Prints the load's wall time, its CPU
// time and, last, the peak resident memory of the process during the load.
//
//   long_title_bench [title megabytes (100)]
#include "GeneratedRecording.h"

#include "models/RecordingsStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// VmHWM of /proc/self/status, in megabytes.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    QTemporaryDir support;
    RecordingsStorage storage(support.path(), support.filePath(QStringLiteral("Downloads")));
    const QString fileName = QStringLiteral("Long_1700000000.mp3");
    GeneratedRecording::write(QDir(storage.storageDirectory()).filePath(fileName), 2, 1,
                              [](double t) { return 8000 * std::sin(2 * M_PI * 440 * t); });
    {
        QFile index(storage.metadataFile());
        if (!index.open(QIODevice::WriteOnly))
            return 1;
        index.write(R"([{"id":"6F1C2A4E-9B1D-4C55-8E21-0A6B3D9F7C10","title":")");
        const QByteArray chunk(1 << 20, 'a');
        for (qsizetype i = 0; i < megabytes; ++i)
            index.write(chunk);
        index.write(R"(","fileName":"Long_1700000000.mp3","createdAt":1,"duration":2,"fileSizeBytes":1,)"
                    R"("waveformSamples":[0.5],"transcript":"words","summary":"# Recap"}])");
    }

    // Peak memory from here on only.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    const double baseline = peakMegabytes();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    const RecordingsStorage::Loaded loaded = storage.loadLibrary();
    storage.waitForSaves();
    const qint64 wallMs = clock.elapsed();
    const double cpu = cpuSeconds() - cpuBefore;
    const double peak = peakMegabytes();

    if (loaded.recordings.size() != 1 || loaded.recordings.first().title.size() != 1000) {
        std::printf("unexpected result: %lld recordings\n", static_cast<long long>(loaded.recordings.size()));
        return 1;
    }
    std::printf("title of %lld MB: load %lld ms wall, %.2f s CPU\n", static_cast<long long>(megabytes),
                static_cast<long long>(wallMs), cpu);
    std::printf("resident before the load: %.0f MB\n", baseline);
    std::printf("peak resident memory during the load: %.0f MB\n", peak);
    return 0;
}
