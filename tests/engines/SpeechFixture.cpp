#include "SpeechFixture.h"

#include "audio/MP3Encoder.h"
#include "common/AppPaths.h"
#include "common/Error.h"
#include "common/ProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <QtEndian>

#include <vector>

#include <soxr.h>

namespace {

const QString kDomain = QStringLiteral("SpeechFixture");

struct Wave {
    int rate = 0;
    std::vector<int16_t> mono;
};

// A little-endian field of a WAVE file; a field past the end is refused, not read.
quint32 field(const QByteArray& data, qsizetype at, int bytes)
{
    if (at + bytes > data.size())
        throw Error(kDomain, 4, QStringLiteral("espeak-ng wrote a truncated WAVE file"));
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(data.at(at + i));
    return value;
}

// espeak-ng writes 16-bit mono PCM; only that is read.
Wave readWave(const QByteArray& data)
{
    Wave wave;
    if (!data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        throw Error(kDomain, 1, QStringLiteral("espeak-ng did not write a WAVE file"));
    qsizetype offset = 12;
    while (offset + 8 <= data.size()) {
        const QByteArray id = data.mid(offset, 4);
        const qsizetype size = field(data, offset + 4, 4);
        const char* body = data.constData() + offset + 8;
        const qsizetype available = std::min<qsizetype>(size, data.size() - offset - 8);
        if (id == "fmt ") {
            const qsizetype format = offset + 8;
            if (field(data, format, 2) != 1 || field(data, format + 2, 2) != 1 || field(data, format + 14, 2) != 16)
                throw Error(kDomain, 2, QStringLiteral("espeak-ng wrote an unexpected sample format"));
            wave.rate = static_cast<int>(field(data, format + 4, 4));
        } else if (id == "data") {
            wave.mono.resize(static_cast<size_t>(available / 2));
            for (size_t i = 0; i < wave.mono.size(); ++i)
                wave.mono[i] = qFromLittleEndian<qint16>(body + 2 * i);
        }
        offset += 8 + size + (size & 1);
    }
    if (wave.rate <= 0 || wave.mono.empty())
        throw Error(kDomain, 3, QStringLiteral("espeak-ng wrote no audio"));
    return wave;
}

std::vector<int16_t> resampleTo44k(const Wave& wave)
{
    std::vector<int16_t> out(static_cast<size_t>(double(wave.mono.size()) * 44100 / wave.rate) + 1024);
    size_t done = 0;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    const soxr_error_t error = soxr_oneshot(wave.rate, 44100, 1, wave.mono.data(), wave.mono.size(), nullptr,
                                            out.data(), out.size(), &done, &io, &quality, nullptr);
    if (error)
        throw Error(kDomain, 4, QString::fromUtf8(error));
    out.resize(done);
    return out;
}

} // namespace

namespace SpeechFixture {

std::vector<int16_t> speak(const QString& text, const QString& voice)
{
    const QString espeak = ProcessRunner::findExecutable(QStringLiteral("espeak-ng"));
    if (espeak.isEmpty())
        throw Error(kDomain, 5, QStringLiteral("espeak-ng is not installed"));
    const QString wavePath = QDir(AppPaths::privateTempFolder())
                                 .filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".wav"));
    ProcessRunner::Command command;
    command.program = espeak;
    command.arguments = {QStringLiteral("-w"), wavePath};
    if (!voice.isEmpty())
        command.arguments << QStringLiteral("-v") << voice;
    command.arguments << text;
    const auto result = ProcessRunner::run(command);
    QFile waveFile(wavePath);
    if (!result.succeeded() || !waveFile.open(QIODevice::ReadOnly))
        throw Error(kDomain, 6, QStringLiteral("espeak-ng failed: ") + QString::fromLocal8Bit(result.standardError));
    const Wave wave = readWave(waveFile.readAll());
    waveFile.remove();
    return resampleTo44k(wave);
}

double writeSpeechMp3(const QString& mp3Path, const QString& text, double exactSeconds)
{
    std::vector<int16_t> speech = speak(text);
    if (exactSeconds > 0) {
        const size_t wanted = static_cast<size_t>(exactSeconds * 44100);
        std::vector<int16_t> once = speech;
        once.insert(once.end(), 44100, 0);
        speech.clear();
        while (speech.size() < wanted)
            speech.insert(speech.end(), once.begin(), once.end());
        speech.resize(wanted);
    }
    std::vector<int16_t> stereo(speech.size() * 2);
    for (size_t i = 0; i < speech.size(); ++i)
        stereo[2 * i] = stereo[2 * i + 1] = speech[i];
    MP3Encoder encoder(mp3Path);
    encoder.encode(stereo);
    encoder.finish();
    return double(speech.size()) / 44100;
}

QString generatedModel(const QString& name)
{
    const QString fromEnvironment = qEnvironmentVariable("NIMBREL_BINARY_DIR");
    const QString binary = fromEnvironment.isEmpty() ? QStringLiteral(NIMBREL_SPEECH_FIXTURE_BINARY_DIR) : fromEnvironment;
    return QDir(binary).filePath(QStringLiteral("tests/models/") + name);
}

} // namespace SpeechFixture
