#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

// A pacat child playing a sine into `sink` from a file written in `folder`, so
// that neither the tone nor the piping costs the measured process anything.
// Null when the file cannot be written.
inline std::unique_ptr<QProcess> playTone(const QString& folder, const QString& sink, double frequency,
                                          double seconds)
{
    const QString path = QDir(folder).filePath(sink + QStringLiteral(".raw"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return nullptr;
    const size_t frames = size_t(seconds * 44100);
    std::vector<int16_t> samples(frames * 2);
    for (size_t i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] = int16_t(12000 * std::sin(2 * M_PI * frequency * double(i) / 44100));
    file.write(reinterpret_cast<const char*>(samples.data()), qint64(samples.size() * sizeof(int16_t)));
    file.close();
    auto player = std::make_unique<QProcess>();
    player->start(QStringLiteral("pacat"), {QStringLiteral("--playback"), QStringLiteral("--device=") + sink,
                                            QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                                            QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"), path});
    player->waitForStarted();
    return player;
}
