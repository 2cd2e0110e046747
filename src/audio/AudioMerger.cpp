#include "audio/AudioMerger.h"

#include "audio/BackgroundTask.h"
#include "audio/EditedRecordingWriter.h"
#include "audio/RecordingDecoder.h"
#include "audio/SameFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

AudioMerger::MergeError::MergeError(Kind kind, QString path, const QString& message)
    : RecordingEditError(QStringLiteral("AudioMerger.MergeError"), static_cast<int>(kind), std::move(path), message)
{
}

AudioMerger::MergeError AudioMerger::MergeError::fileNotFound(const QString& path)
{
    return MergeError(Kind::fileNotFound, path, QStringLiteral("File not found: ") + nameOf(path));
}

AudioMerger::MergeError AudioMerger::MergeError::audioTrackNotFound(const QString& path)
{
    return MergeError(Kind::audioTrackNotFound, path,
                      QStringLiteral("Could not find audio track in ") + nameOf(path) + QStringLiteral("."));
}

AudioMerger::MergeError AudioMerger::MergeError::cannotInitializeReader(const QString& path)
{
    return MergeError(Kind::cannotInitializeReader, path,
                      QStringLiteral("Failed to read audio from ") + nameOf(path) + QStringLiteral("."));
}

AudioMerger::MergeError AudioMerger::MergeError::encodingFailed(const QString& message)
{
    return MergeError(Kind::encodingFailed, {}, QStringLiteral("Merge encoding failed: ") + message);
}

AudioMerger::MergeError AudioMerger::MergeError::insufficientRecordings()
{
    return MergeError(Kind::insufficientRecordings, {},
                      QStringLiteral("At least 2 recordings are required to merge."));
}

AudioMerger::MergeError AudioMerger::MergeError::destinationIsSource(const QString& path)
{
    return MergeError(Kind::destinationIsSource, path,
                      QStringLiteral("Cannot merge into ") + nameOf(path)
                          + QStringLiteral(": it is one of the recordings being merged."));
}

AudioMerger& AudioMerger::shared()
{
    static AudioMerger instance;
    return instance;
}

QFuture<double> AudioMerger::mergeAudioFiles(const QStringList& sourcePaths, const QString& destinationPath,
                                             ProgressHandler onProgress) const
{
    return runCancellableInBackground(
        [this, sourcePaths, destinationPath, onProgress = std::move(onProgress)](
            const std::function<bool()>& isCancelled) {
            return merge(sourcePaths, destinationPath, onProgress, isCancelled);
        });
}

double AudioMerger::merge(const QStringList& sourcePaths, const QString& destinationPath,
                          const ProgressHandler& onProgress, const std::function<bool()>& isCancelled) const
{
    if (sourcePaths.size() < 2)
        throw MergeError::insufficientRecordings();
    for (const QString& source : sourcePaths) {
        if (!QFileInfo::exists(source))
            throw MergeError::fileNotFound(source);
    }
    // Opening the encoder deletes whatever is at the destination.
    for (const QString& source : sourcePaths) {
        if (isSameFile(source, destinationPath))
            throw MergeError::destinationIsSource(destinationPath);
    }

    // The whole length first, so that the figure shown is of the whole merge.
    const qsizetype count = sourcePaths.size();
    double totalSeconds = 0;
    // A source that does not open fails below, in its turn.
    for (const QString& source : sourcePaths) {
        RecordingDecoder decoder;
        if (decoder.open(source) != RecordingDecoder::OpenResult::opened)
            continue;
        const double seconds = decoder.durationSeconds();
        if (std::isfinite(seconds) && seconds > 0)
            totalSeconds += seconds;
    }
    const double totalFrames = std::max(1.0, totalSeconds * RecordingDecoder::kSampleRate);

    EditedRecordingWriter<MergeError> output(destinationPath);
    qsizetype current = 0;
    int lastPercent = -1;
    const auto report = [&](bool always) {
        if (!onProgress)
            return;
        const double fraction = std::min(static_cast<double>(output.framesWritten()) / totalFrames, 1.0);
        const int percent = static_cast<int>(fraction * 100);
        if (!always && percent == lastPercent)
            return;
        lastPercent = percent;
        onProgress(fraction, QStringLiteral("Merging recording %1 of %2... %3%").arg(current + 1).arg(count).arg(percent));
    };
    output.write([&] {
        for (current = 0; current < count; ++current) {
            if (isCancelled())
                throw CancelledError();
            report(true);
            RecordingDecoder decoder;
            output.openSource(decoder, sourcePaths[current]);
            output.append(decoder, QStringLiteral("Unknown audio reader error"), [&] {
                if (isCancelled())
                    throw CancelledError();
                report(false);
            });
        }
    });

    if (onProgress)
        onProgress(1.0, QStringLiteral("Finalizing merged recording..."));
    return static_cast<double>(output.framesWritten()) / RecordingDecoder::kSampleRate;
}
