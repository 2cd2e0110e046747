// Records both sources from the sound server for a minute (or the seconds
// given as the first argument) while tones play into the test output and the
// test microphone's feed, and prints the recorder's CPU time as a share of one
// core. Needs the test sound server that scripts/test starts (PULSE_SERVER).
#include "audio/AudioMixerRecorder.h"

#include "TonePlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of each of our threads by name, from /proc.
QMap<QString, double> threadCpuSeconds()
{
    QMap<QString, double> result;
    const double ticks = double(sysconf(_SC_CLK_TCK));
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(task));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString line = QString::fromLatin1(stat.readAll());
        const qsizetype open = line.indexOf(QLatin1Char('(')), close = line.lastIndexOf(QLatin1Char(')'));
        const QString name = line.mid(open + 1, close - open - 1);
        const QStringList fields = line.mid(close + 2).split(QLatin1Char(' '));
        // utime and stime are fields 14 and 15 of the whole line.
        result[name] += (fields.value(11).toDouble() + fields.value(12).toDouble()) / ticks;
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("bench.mp3"));

    AudioMixerRecorder recorder;
    const AudioDevice mic{QStringLiteral("test_mic"), QStringLiteral("Test_Microphone"), true};
    try {
        recorder.startRecording(output, mic).waitForFinished();
    } catch (const std::exception& error) {
        std::printf("could not start recording: %s\n", error.what());
        return 1;
    }
    auto systemTone = playTone(dir.path(), QStringLiteral("test_sink"), 440, seconds + 3);
    auto micTone = playTone(dir.path(), QStringLiteral("mic_feed"), 660, seconds + 3);
    if (!systemTone || !micTone) {
        std::printf("could not write the tones\n");
        return 1;
    }

    size_t levelReports = 0;
    size_t waveformSamples = 0;
    recorder.onLevelsUpdate = [&](float, float) { ++levelReports; };
    recorder.onLiveWaveformSample = [&](float) { ++waveformSamples; };
    // Asked for ten times a second, as a window that shows them does.
    QTimer pull;
    QObject::connect(&pull, &QTimer::timeout, &app, [&] { recorder.deliverLiveValues(); });
    pull.start(100);

    const double cpuAtStart = cpuSeconds();
    const QMap<QString, double> threadsAtStart = threadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, [&] {
        const double cpu = cpuSeconds() - cpuAtStart;
        const double elapsed = double(wall.elapsed()) / 1000;
        AudioMixerRecorder::StopResult result;
        try {
            result = recorder.stopRecording().result();
        } catch (const std::exception& error) {
            std::printf("could not stop recording: %s\n", error.what());
        }
        std::printf("recorded %.1f s, %zu mixing steps, %zu level reports, %zu waveform samples\n", result.duration,
                    result.amplitudes.size(), levelReports, waveformSamples);
        const QMap<QString, double> threads = threadCpuSeconds();
        for (auto it = threads.begin(); it != threads.end(); ++it)
            std::printf("  thread %-18s %.3f s\n", qPrintable(it.key()), it.value() - threadsAtStart.value(it.key()));
        std::printf("recorder CPU time: %.3f s over %.1f s\n", cpu, elapsed);
        std::printf("recorder CPU share of one core: %.2f %%\n", 100.0 * cpu / elapsed);
        systemTone->kill();
        micTone->kill();
        systemTone->waitForFinished();
        micTone->waitForFinished();
        app.quit();
    });
    return app.exec();
}
