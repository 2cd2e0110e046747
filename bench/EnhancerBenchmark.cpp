// Enhances a 60-minute recording of the microphone alone (the same samples in
// both channels, as the recorder writes it) with the voice enhancer and runs
// ffmpeg over the same file with a comparable chain (its FFT noise reducer
// set to at most 25 dB and following the noise, as our suppressor does, then
// the same equaliser bands, a compressor, a limiter, shine or LAME at 192 kbit/s),
// printing the exact ffmpeg command. Both run held to one core, and then as they do on a user's
// machine, each using the cores it can (the enhancer encodes, and isolates
// channels that differ, on threads of their own). Our runs and ffmpeg's
// alternate; each figure is the best of its runs, in wall-clock time and in
// processor time. The last line is our processor time divided by ffmpeg's
// with both on one core: there the two do the same work with the same means,
// and processor time leaves out the time other programs held the core, which
// on a busy machine favours whichever side ran while it was quieter.
//
// Usage: enhancer_bench [runs]   (default 3). The recording is generated once
// into "enhancer-data" beside the program.

#include "engines/enhancer/VoiceEnhancerEngine.h"

#include "FfmpegRunner.h"
#include "GeneratedRecording.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sched.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kPartSeconds = 10 * 60;
constexpr int kParts = 6;
constexpr double kTotalSeconds = kPartSeconds * kParts;

QString dataDir;
const QString kRecording = QStringLiteral("microphone-hour.mp3");

QString dataFile(const QString& name)
{
    return QDir(dataDir).filePath(name);
}

// Ten minutes of something voice-like: syllables of a gliding harmonic tone,
// pauses between phrases, a quiet hiss and mains hum underneath; the right
// channel the same as the left.
void writePart(const QString& path)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    double phase = 0;
    GeneratedRecording::write(path, kPartSeconds, 1.0, [&](double t) {
        phase += 2 * std::numbers::pi * (140 + 60 * std::sin(2 * std::numbers::pi * 0.7 * t)) / 44100;
        double voice = 0;
        for (int harmonic = 1; harmonic <= 8; ++harmonic)
            voice += std::sin(harmonic * phase) / harmonic;
        const double syllable = std::max(0.0, std::sin(2 * std::numbers::pi * 4 * t));
        const double phrase = std::fmod(t, 7.0) < 5.5 ? 1.0 : 0.0;
        return 7000 * syllable * phrase * voice + 120 * noise(random) + 200 * std::sin(2 * std::numbers::pi * 50 * t);
    });
}

void prepareFixture()
{
    QDir().mkpath(dataDir);
    const QString hour = dataFile(kRecording);
    if (QFileInfo::exists(hour))
        return;
    std::printf("Generating a 60-minute recording...\n");
    std::fflush(stdout);
    const QString part = dataFile(QStringLiteral("part.mp3"));
    writePart(part);
    GeneratedRecording::concatenate(QStringList(kParts, part), hour);
}

// The same stages as ours, with ffmpeg's own filters and the same settings
// where the two have the same setting.
QStringList ffmpegArguments(const QString& encoder, bool oneThread)
{
    const QString filters = QStringLiteral(
        "afftdn=nr=25:tn=1,"
        "highpass=f=85:poles=2:width_type=q:width=0.707,"
        "lowshelf=f=130:g=3.5,"
        "equalizer=f=380:width_type=o:width=1.5:g=-3,"
        "equalizer=f=3200:width_type=o:width=1.2:g=2.5,"
        "highshelf=f=9800:g=3.2,"
        "acompressor=threshold=-19dB:ratio=4.2:knee=4.5:attack=3:release=75:makeup=3.2dB,"
        "alimiter=limit=1:attack=1:release=20:level=false");
    QStringList arguments{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")};
    if (oneThread)
        arguments << QStringLiteral("-threads") << QStringLiteral("1") << QStringLiteral("-filter_threads")
                  << QStringLiteral("1");
    arguments << QStringLiteral("-i") << dataFile(kRecording) << QStringLiteral("-af") << filters
              << QStringLiteral("-c:a") << encoder << QStringLiteral("-b:a") << QStringLiteral("192k")
              << QStringLiteral("-ar") << QStringLiteral("44100") << QStringLiteral("-ac") << QStringLiteral("2")
              << dataFile(QStringLiteral("ffmpeg.mp3"));
    return arguments;
}

QString commandLine(const QString& program, const QStringList& arguments)
{
    QStringList quoted{program};
    for (const QString& argument : arguments)
        quoted << (argument.contains(QLatin1Char(',')) || argument.contains(QLatin1Char(' '))
                       ? QStringLiteral("\"%1\"").arg(argument)
                       : argument);
    return quoted.join(QLatin1Char(' '));
}

FfmpegRunner::Timing runEnhancer()
{
    const double processorBefore = FfmpegRunner::processorSeconds(RUSAGE_SELF);
    QElapsedTimer timer;
    timer.start();
    VoiceEnhancerEngine::processOffline(dataFile(kRecording), dataFile(QStringLiteral("enhanced.mp3")));
    return {timer.nsecsElapsed() / 1e9, FfmpegRunner::processorSeconds(RUSAGE_SELF) - processorBefore};
}

struct Timings {
    double ours = std::numeric_limits<double>::infinity();
    double ffmpeg = std::numeric_limits<double>::infinity();
    double oursProcessor = std::numeric_limits<double>::infinity();
    double ffmpegProcessor = std::numeric_limits<double>::infinity();
};

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Alternates our runs with ffmpeg's; the best of each.
Timings measure(const char* label, int runs, const QStringList& ffmpegArguments)
{
    Timings best;
    for (int run = 0; run < runs; ++run) {
        const FfmpegRunner::Timing ours = runEnhancer();
        const FfmpegRunner::Timing theirs = FfmpegRunner::runTimed(ffmpegArguments);
        best.ours = std::min(best.ours, ours.wall);
        best.ffmpeg = std::min(best.ffmpeg, theirs.wall);
        best.oursProcessor = std::min(best.oursProcessor, ours.processor);
        best.ffmpegProcessor = std::min(best.ffmpegProcessor, theirs.processor);
        std::printf("%s, run %d: enhancer %.2f s (processor %.2f s), ffmpeg %.2f s (processor %.2f s); load %s\n",
                    label, run + 1, ours.wall, ours.processor, theirs.wall, theirs.processor,
                    qPrintable(loadAverage()));
        std::fflush(stdout);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    dataDir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("enhancer-data"));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    prepareFixture();
    const QString encoder = FfmpegRunner::findMp3Encoder();
    if (encoder.isEmpty()) {
        std::printf("ffmpeg with libshine or libmp3lame not found: no comparison\n");
        return 1;
    }

    // One core: this process, its threads and the ffmpeg it starts stay on
    // the core it runs on now.
    cpu_set_t allCores;
    sched_getaffinity(0, sizeof(allCores), &allCores);
    cpu_set_t oneCore;
    CPU_ZERO(&oneCore);
    CPU_SET(sched_getcpu(), &oneCore);
    sched_setaffinity(0, sizeof(oneCore), &oneCore);
    const QStringList oneThreadArguments = ffmpegArguments(encoder, true);
    const Timings single = measure("one core", runs, oneThreadArguments);

    sched_setaffinity(0, sizeof(allCores), &allCores);
    const QStringList arguments = ffmpegArguments(encoder, false);
    const Timings parallel = measure("all cores", runs, arguments);

    std::printf("\nEnhance 60 minutes on all cores: %.1fx real time (%.2f s)\n", kTotalSeconds / parallel.ours,
                parallel.ours);
    std::printf("ffmpeg on all cores: %.1fx real time (%.2f s): %s\n", kTotalSeconds / parallel.ffmpeg,
                parallel.ffmpeg, qPrintable(commandLine(QStringLiteral("ffmpeg"), arguments)));
    std::printf("Enhancer time / ffmpeg time, each on the cores it uses: %.2f\n", parallel.ours / parallel.ffmpeg);
    std::printf("Enhance 60 minutes on one core: %.1fx real time (%.2f s; target at least 40x)\n",
                kTotalSeconds / single.ours, single.ours);
    std::printf("ffmpeg on one core: %.1fx real time (%.2f s)\n", kTotalSeconds / single.ffmpeg, single.ffmpeg);
    std::printf("ffmpeg command: %s\n", qPrintable(commandLine(QStringLiteral("ffmpeg"), oneThreadArguments)));
    std::printf("Enhancer wall-clock time / ffmpeg's, both on one core: %.2f\n", single.ours / single.ffmpeg);
    std::printf("Processor time on one core: enhancer %.2f s, ffmpeg %.2f s; load %s\n", single.oursProcessor,
                single.ffmpegProcessor, qPrintable(loadAverage()));
    std::printf("Enhancer processor time / ffmpeg's, both on one core (target at most 1.0): %.2f\n",
                single.oursProcessor / single.ffmpegProcessor);
    return 0;
}
