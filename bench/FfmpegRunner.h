#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <limits>

#include <sys/resource.h>

// ffmpeg as the benchmarks' yardstick.
namespace FfmpegRunner {

// The MP3 encoder to compare with: shine, as we use, else LAME; empty when
// ffmpeg or both encoders are missing.
inline QString findMp3Encoder()
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("ffmpeg"), {QStringLiteral("-hide_banner"), QStringLiteral("-encoders")});
    if (!process.waitForFinished(30000))
        return {};
    const QString encoders = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& name : {QStringLiteral("libshine"), QStringLiteral("libmp3lame")}) {
        if (encoders.contains(QLatin1Char(' ') + name + QLatin1Char(' ')))
            return name;
    }
    return {};
}

// Processor seconds (user and system) of this process's threads, or of its
// children that have ended, so far.
inline double processorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double wall = std::numeric_limits<double>::quiet_NaN();
    double processor = std::numeric_limits<double>::quiet_NaN();
};

// The wall-clock and processor seconds of one ffmpeg run; NaN when it fails.
inline Timing runTimed(const QStringList& arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    const double processorBefore = processorSeconds(RUSAGE_CHILDREN);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("ffmpeg"), arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", process.readAllStandardError().constData());
        return {};
    }
    return {double(timer.nsecsElapsed()) / 1e9, processorSeconds(RUSAGE_CHILDREN) - processorBefore};
}

// Wall-clock seconds of one ffmpeg run; NaN when it fails.
inline double run(const QStringList& arguments)
{
    return runTimed(arguments).wall;
}

} // namespace FfmpegRunner
