#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <limits>

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

// Wall-clock seconds of one ffmpeg run; NaN when it fails.
inline double run(const QStringList& arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("ffmpeg"), arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", process.readAllStandardError().constData());
        return std::numeric_limits<double>::quiet_NaN();
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace FfmpegRunner
