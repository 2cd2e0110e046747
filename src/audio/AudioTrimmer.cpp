#include "audio/AudioTrimmer.h"

#include "audio/BackgroundTask.h"
#include "audio/MP3Encoder.h"
#include "audio/RecordingDecoder.h"
#include "audio/SameFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Eight encoder passes: whole passes reach the encoder without being copied.
constexpr int64_t kChunkFrames = 1152 * 8;

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

AudioTrimmer::TrimError::TrimError(Kind kind, QString path, const QString& message)
    : Error(QStringLiteral("AudioTrimmer.TrimError"), static_cast<int>(kind), message)
    , m_kind(kind)
    , m_path(std::move(path))
{
}

AudioTrimmer::TrimError AudioTrimmer::TrimError::fileNotFound(const QString& path)
{
    return TrimError(Kind::fileNotFound, path, QStringLiteral("Audio file not found: ") + nameOf(path));
}

AudioTrimmer::TrimError AudioTrimmer::TrimError::audioTrackNotFound(const QString& path)
{
    return TrimError(Kind::audioTrackNotFound, path,
                     QStringLiteral("Could not find audio track in ") + nameOf(path) + QStringLiteral("."));
}

AudioTrimmer::TrimError AudioTrimmer::TrimError::cannotInitializeReader(const QString& path)
{
    return TrimError(Kind::cannotInitializeReader, path,
                     QStringLiteral("Failed to read audio from ") + nameOf(path) + QStringLiteral("."));
}

AudioTrimmer::TrimError AudioTrimmer::TrimError::invalidTimeRange(double startTime, double endTime,
                                                                 double totalDuration)
{
    return TrimError(Kind::invalidTimeRange, {},
                     QString::asprintf("Invalid trim range (%.1fs to %.1fs for total %.1fs).", startTime, endTime,
                                       totalDuration));
}

AudioTrimmer::TrimError AudioTrimmer::TrimError::encodingFailed(const QString& message)
{
    return TrimError(Kind::encodingFailed, {}, QStringLiteral("Audio trimming failed: ") + message);
}

AudioTrimmer::TrimError AudioTrimmer::TrimError::destinationIsSource(const QString& path)
{
    return TrimError(Kind::destinationIsSource, path,
                     QStringLiteral("Cannot trim into ") + nameOf(path) + QStringLiteral(": it is the file being trimmed."));
}

AudioTrimmer& AudioTrimmer::shared()
{
    static AudioTrimmer instance;
    return instance;
}

QFuture<double> AudioTrimmer::trimAudioFile(const QString& sourcePath, const QString& destinationPath,
                                            double startTime, double endTime, ProgressHandler onProgress) const
{
    return runInBackground([this, sourcePath, destinationPath, startTime, endTime, onProgress = std::move(onProgress)] {
        return trim(sourcePath, destinationPath, startTime, endTime, onProgress);
    });
}

double AudioTrimmer::trim(const QString& sourcePath, const QString& destinationPath, double startTime,
                          double endTime, const ProgressHandler& onProgress) const
{
    if (!QFileInfo::exists(sourcePath))
        throw TrimError::fileNotFound(sourcePath);
    // Opening the encoder deletes whatever is at the destination.
    if (isSameFile(sourcePath, destinationPath))
        throw TrimError::destinationIsSource(destinationPath);

    RecordingDecoder decoder;
    switch (decoder.open(sourcePath)) {
    case RecordingDecoder::OpenResult::unreadable:
        throw TrimError::cannotInitializeReader(sourcePath);
    case RecordingDecoder::OpenResult::noAudio:
        throw TrimError::audioTrackNotFound(sourcePath);
    case RecordingDecoder::OpenResult::opened:
        break;
    }
    const double totalDuration = decoder.durationSeconds();
    if (std::isnan(totalDuration))
        throw TrimError::cannotInitializeReader(sourcePath);

    // Written so that a NaN anywhere fails the check.
    const bool valid = startTime >= 0 && startTime < endTime && startTime < totalDuration;
    if (!valid)
        throw TrimError::invalidTimeRange(startTime, endTime, totalDuration);
    const double effectiveEnd = endTime <= totalDuration ? endTime : totalDuration;
    if (!decoder.setRange(startTime, effectiveEnd))
        throw TrimError::cannotInitializeReader(sourcePath);

    MP3Encoder encoder(destinationPath, RecordingDecoder::kSampleRate, 192, RecordingDecoder::kChannels);
    const auto discardDestination = [&] {
        try {
            encoder.finish();
        } catch (const Error&) {
            // The file goes anyway.
        }
        QFile::remove(destinationPath);
    };

    const auto expectedFrames = static_cast<int64_t>((effectiveEnd - startTime) * RecordingDecoder::kSampleRate);
    const bool reports = onProgress && expectedFrames >= 1;
    int64_t framesWritten = 0;
    std::vector<int16_t> samples(static_cast<size_t>(kChunkFrames * RecordingDecoder::kChannels));
    try {
        for (;;) {
            const int64_t frames = decoder.read(samples.data(), kChunkFrames);
            if (frames < 0) {
                const QString reason = decoder.errorString();
                throw TrimError::encodingFailed(reason.isEmpty() ? QStringLiteral("Audio decoding stream failed")
                                                                 : reason);
            }
            if (frames == 0)
                break;
            encoder.encode(samples.data(), static_cast<size_t>(frames * RecordingDecoder::kChannels));
            framesWritten += frames;
            if (reports)
                onProgress(std::min(static_cast<double>(framesWritten) / static_cast<double>(expectedFrames), 1.0));
        }
        encoder.finish();
    } catch (const TrimError&) {
        discardDestination();
        throw;
    } catch (const Error& error) {
        // The encoder could not write (a full disk): a short file is no trim.
        discardDestination();
        throw TrimError::encodingFailed(error.message());
    }
    return effectiveEnd - startTime;
}
