#include "Mp3Fixture.h"

#include "audio/MP3Encoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cmath>
#include <mutex>
#include <vector>

namespace {

QByteArray encodeTone(qint64 frames, int bitrate)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.mp3"));
    {
        MP3Encoder encoder(path, 44100, bitrate, 2);
        std::vector<int16_t> chunk;
        for (qint64 done = 0; done < frames;) {
            const qint64 count = std::min<qint64>(4096, frames - done);
            chunk.resize(static_cast<size_t>(count) * 2);
            for (qint64 i = 0; i < count; ++i) {
                const auto value = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * double(done + i) / 44100));
                chunk[2 * i] = chunk[2 * i + 1] = value;
            }
            encoder.encode(chunk);
            done += count;
        }
        encoder.finish();
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

namespace Mp3Fixture {

qint64 writeTone(const QString& path, double seconds, int bitrate)
{
    // Fixtures reuse the same lengths often; encode each once per process.
    static std::mutex cacheMutex;
    static QHash<QString, QByteArray> cache;
    const qint64 frames = std::llround(seconds * 44100);
    const QString key = QStringLiteral("%1/%2").arg(frames).arg(bitrate);
    QByteArray data;
    {
        std::lock_guard lock(cacheMutex);
        auto found = cache.constFind(key);
        data = found != cache.constEnd() ? *found : cache.insert(key, encodeTone(frames, bitrate)).value();
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return -1;
    return data.size();
}

bool padTo(const QString& path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.size() > bytes)
        return false;
    return file.write(QByteArray(bytes - file.size(), '\0')) >= 0;
}

void writeZeros(const QString& path, qint64 bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(bytes, '\0'));
}

} // namespace Mp3Fixture
