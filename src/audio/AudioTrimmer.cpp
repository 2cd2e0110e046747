#include "audio/AudioTrimmer.h"

#include "audio/BackgroundTask.h"
#include "audio/EditedRecordingWriter.h"
#include "audio/RecordingDecoder.h"
#include "audio/SameFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

AudioTrimmer::TrimError::TrimError(Kind kind, QString path, const QString& message)
    : RecordingEditError(QStringLiteral("AudioTrimmer.TrimError"), static_cast<int>(kind), std::move(path), message)
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
    return runCancellableInBackground([this, sourcePath, destinationPath, startTime, endTime,
                                       onProgress = std::move(onProgress)](const std::function<bool()>& isCancelled) {
        return trim(sourcePath, destinationPath, startTime, endTime, onProgress, isCancelled);
    });
}

double AudioTrimmer::trim(const QString& sourcePath, const QString& destinationPath, double startTime,
                          double endTime, const ProgressHandler& onProgress,
                          const std::function<bool()>& isCancelled) const
{
    if (!QFileInfo::exists(sourcePath))
        throw TrimError::fileNotFound(sourcePath);
    // Opening the encoder deletes whatever is at the destination.
    if (isSameFile(sourcePath, destinationPath))
        throw TrimError::destinationIsSource(destinationPath);

    RecordingDecoder decoder;
    EditedRecordingWriter<TrimError>::openSource(decoder, sourcePath);
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

    EditedRecordingWriter<TrimError> output(destinationPath);
    const auto expectedFrames = static_cast<int64_t>((effectiveEnd - startTime) * RecordingDecoder::kSampleRate);
    const bool reports = onProgress && expectedFrames >= 1;
    output.write([&] {
        output.append(decoder, QStringLiteral("Audio decoding stream failed"), [&] {
            if (isCancelled())
                throw CancelledError();
            if (reports) {
                onProgress(std::min(static_cast<double>(output.framesWritten()) / static_cast<double>(expectedFrames),
                                    1.0));
            }
        });
    });
    return effectiveEnd - startTime;
}
