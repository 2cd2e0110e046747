#include "engines/speech/WhisperCliOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

std::optional<qint64> wholeNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 9.0e15)
        return std::nullopt;
    return static_cast<qint64>(number);
}

} // namespace

namespace WhisperCliOutput {

std::optional<Transcription> parse(const QByteArray& json)
{
    // whisper-cli can cut a multi-byte character between two segments and
    // writes the bytes as they are; the JSON reader refuses broken UTF-8.
    const QByteArray repaired = QString::fromUtf8(json).toUtf8();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(repaired, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();

    Transcription result;
    const QJsonValue language = root.value(QStringLiteral("result")).toObject().value(QStringLiteral("language"));
    if (language.isString())
        result.language = language.toString().toUpper();

    const QJsonValue transcription = root.value(QStringLiteral("transcription"));
    if (transcription.isUndefined() || transcription.isNull())
        return result;
    if (!transcription.isArray())
        return std::nullopt;
    for (const QJsonValue& element : transcription.toArray()) {
        const QJsonObject segment = element.toObject();
        const QJsonValue offsets = segment.value(QStringLiteral("offsets"));
        const QJsonValue text = segment.value(QStringLiteral("text"));
        if (!element.isObject() || !offsets.isObject() || !text.isString())
            return std::nullopt;
        const auto from = wholeNumber(offsets.toObject().value(QStringLiteral("from")));
        const auto to = wholeNumber(offsets.toObject().value(QStringLiteral("to")));
        if (!from || !to)
            return std::nullopt;
        result.appendSegment(static_cast<double>(*from) / 1000.0, static_cast<double>(*to) / 1000.0, text.toString());
    }
    return result;
}

} // namespace WhisperCliOutput

namespace {

const QByteArray kProgressMark = QByteArrayLiteral("progress = ");

bool isProgressLine(const QByteArray& line)
{
    return line.contains(kProgressMark) && line.trimmed().endsWith('%');
}

} // namespace

namespace WhisperCliOutput {

std::optional<int> lastProgress(const QByteArray& standardError)
{
    // Only whole lines: the last one may still be arriving.
    const QList<QByteArray> lines = standardError.left(standardError.lastIndexOf('\n') + 1).split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (!isProgressLine(*line))
            continue;
        const QByteArray figure = line->mid(line->indexOf(kProgressMark) + kProgressMark.size()).trimmed().chopped(1);
        bool ok = false;
        const int percent = figure.trimmed().toInt(&ok);
        if (ok)
            return std::clamp(percent, 0, 100);
    }
    return std::nullopt;
}

QByteArray withoutProgress(const QByteArray& standardError)
{
    QList<QByteArray> kept = standardError.split('\n');
    kept.removeIf(isProgressLine);
    return kept.join('\n');
}

} // namespace WhisperCliOutput
