// Trims 10 minutes out of a 60-minute recording and merges three 20-minute
// recordings, printing each as times faster than real time; then runs the same
// trim through ffmpeg with the shine (or LAME) encoder. The last line is our
// trim time divided by ffmpeg's.
//
// Fixtures are generated once into "editing-data" beside the program.

#include "audio/AudioMerger.h"
#include "audio/AudioTrimmer.h"
#include "platform/media/Mp3Decoder.h"

#include "FfmpegRunner.h"
#include "GeneratedRecording.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double kPartSeconds = 20 * 60;
constexpr double kTrimStart = 25 * 60;
constexpr double kTrimEnd = 35 * 60;

QString dataDir;
QString ffmpegEncoder;
double bestTrim = std::numeric_limits<double>::infinity();
double bestMerge = std::numeric_limits<double>::infinity();
double bestFfmpeg = std::numeric_limits<double>::infinity();
double bestFfmpegInputSeek = std::numeric_limits<double>::infinity();

QString dataFile(const QString& name)
{
    return QDir(dataDir).filePath(name);
}

// Twenty minutes of something speech-like to the encoder: gliding tones and noise.
void writePart(const QString& path)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    double phase = 0;
    GeneratedRecording::write(path, kPartSeconds, 0.8, [&](double t) {
        phase += 2 * M_PI * (220 + 180 * std::sin(2 * M_PI * 0.3 * t)) / 44100;
        const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 3 * t);
        return 6000 * envelope * std::sin(phase) + 800 * noise(random);
    });
}

void prepareFixtures()
{
    QDir().mkpath(dataDir);
    if (!QFileInfo::exists(dataFile(QStringLiteral("part1.mp3")))) {
        std::printf("Generating a 20-minute recording...\n");
        std::fflush(stdout);
        writePart(dataFile(QStringLiteral("part1.mp3")));
    }
    for (const char* copy : {"part2.mp3", "part3.mp3"}) {
        if (!QFileInfo::exists(dataFile(QString::fromLatin1(copy))))
            QFile::copy(dataFile(QStringLiteral("part1.mp3")), dataFile(QString::fromLatin1(copy)));
    }
    if (!QFileInfo::exists(dataFile(QStringLiteral("hour.mp3")))) {
        GeneratedRecording::concatenate({dataFile(QStringLiteral("part1.mp3")), dataFile(QStringLiteral("part2.mp3")),
                     dataFile(QStringLiteral("part3.mp3"))},
                    dataFile(QStringLiteral("hour.mp3")));
    }
}

void BM_Trim10MinutesOf60(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double seconds = AudioTrimmer::shared()
                                   .trimAudioFile(dataFile(QStringLiteral("hour.mp3")),
                                                  dataFile(QStringLiteral("trimmed.mp3")), kTrimStart, kTrimEnd)
                                   .result();
        const double elapsed = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(elapsed);
        benchmark::DoNotOptimize(seconds);
        bestTrim = std::min(bestTrim, elapsed);
        state.counters["x_realtime"] = (kTrimEnd - kTrimStart) / elapsed;
    }
}

void BM_Merge3x20Minutes(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double seconds = AudioMerger::shared()
                                   .mergeAudioFiles({dataFile(QStringLiteral("part1.mp3")),
                                                     dataFile(QStringLiteral("part2.mp3")),
                                                     dataFile(QStringLiteral("part3.mp3"))},
                                                    dataFile(QStringLiteral("merged.mp3")))
                                   .result();
        const double elapsed = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(elapsed);
        benchmark::DoNotOptimize(seconds);
        bestMerge = std::min(bestMerge, elapsed);
        state.counters["x_realtime"] = 3 * kPartSeconds / elapsed;
    }
}

// The command as a user would type it: -ss and -to after the input.
void BM_FfmpegTrim(benchmark::State& state)
{
    for (auto _ : state) {
        const double elapsed = FfmpegRunner::run({QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                          QStringLiteral("-i"), dataFile(QStringLiteral("hour.mp3")),
                                          QStringLiteral("-ss"), QString::number(kTrimStart),
                                          QStringLiteral("-to"), QString::number(kTrimEnd),
                                          QStringLiteral("-c:a"), ffmpegEncoder, QStringLiteral("-b:a"),
                                          QStringLiteral("192k"), dataFile(QStringLiteral("ffmpeg.mp3"))});
        state.SetIterationTime(elapsed);
        bestFfmpeg = std::min(bestFfmpeg, elapsed);
        state.counters["x_realtime"] = (kTrimEnd - kTrimStart) / elapsed;
    }
}

// For reference: seeking on the input, so ffmpeg skips decoding the first part.
void BM_FfmpegTrimInputSeek(benchmark::State& state)
{
    for (auto _ : state) {
        const double elapsed = FfmpegRunner::run({QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                          QStringLiteral("-ss"), QString::number(kTrimStart),
                                          QStringLiteral("-to"), QString::number(kTrimEnd),
                                          QStringLiteral("-i"), dataFile(QStringLiteral("hour.mp3")),
                                          QStringLiteral("-c:a"), ffmpegEncoder, QStringLiteral("-b:a"),
                                          QStringLiteral("192k"), dataFile(QStringLiteral("ffmpeg.mp3"))});
        state.SetIterationTime(elapsed);
        bestFfmpegInputSeek = std::min(bestFfmpegInputSeek, elapsed);
        state.counters["x_realtime"] = (kTrimEnd - kTrimStart) / elapsed;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    dataDir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("editing-data"));
    prepareFixtures();
    ffmpegEncoder = FfmpegRunner::findMp3Encoder();

    const int repetitions = 3;
    benchmark::RegisterBenchmark("Trim10MinutesOf60", BM_Trim10MinutesOf60)
        ->Iterations(1)->Repetitions(repetitions)->UseManualTime()->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("Merge3x20Minutes", BM_Merge3x20Minutes)
        ->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kSecond);
    if (!ffmpegEncoder.isEmpty()) {
        benchmark::RegisterBenchmark("FfmpegTrim", BM_FfmpegTrim)
            ->Iterations(1)->Repetitions(repetitions)->UseManualTime()->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark("FfmpegTrimInputSeek", BM_FfmpegTrimInputSeek)
            ->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kSecond);
    }
    // Our runs and ffmpeg's alternate, so a busy moment of the machine does not
    // fall on one side only; each figure below is the best of its runs.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nTrim 10 of 60 minutes: %.1fx real time (%.2f s)\n", (kTrimEnd - kTrimStart) / bestTrim, bestTrim);
    std::printf("Merge 3 x 20 minutes: %.1fx real time (%.2f s)\n", 3 * kPartSeconds / bestMerge, bestMerge);
    if (ffmpegEncoder.isEmpty()) {
        std::printf("ffmpeg with libshine or libmp3lame not found: no comparison\n");
        return 1;
    }
    std::printf("ffmpeg %s, -ss/-to after -i: %.1fx real time (%.2f s)\n", qPrintable(ffmpegEncoder),
                (kTrimEnd - kTrimStart) / bestFfmpeg, bestFfmpeg);
    std::printf("ffmpeg %s, -ss/-to before -i (reference): %.1fx real time (%.2f s)\n", qPrintable(ffmpegEncoder),
                (kTrimEnd - kTrimStart) / bestFfmpegInputSeek, bestFfmpegInputSeek);
    std::printf("Trim time / ffmpeg trim time: %.2f\n", bestTrim / bestFfmpeg);
    return 0;
}
