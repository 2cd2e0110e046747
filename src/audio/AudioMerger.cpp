#include "audio/AudioMerger.h"

#include "audio/BackgroundTask.h"
#include "audio/EditedRecordingWriter.h"
#include "audio/RecordingDecoder.h"
#include "audio/SameFile.h"

#include <QFileInfo>

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
    return runInBackground([this, sourcePaths, destinationPath, onProgress = std::move(onProgress)] {
        return merge(sourcePaths, destinationPath, onProgress);
    });
}

double AudioMerger::merge(const QStringList& sourcePaths, const QString& destinationPath,
                          const ProgressHandler& onProgress) const
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

    EditedRecordingWriter<MergeError> output(destinationPath);
    const qsizetype count = sourcePaths.size();
    output.write([&] {
        for (qsizetype i = 0; i < count; ++i) {
            const QString& source = sourcePaths[i];
            if (onProgress) {
                onProgress(static_cast<double>(i) / static_cast<double>(count),
                           QStringLiteral("Merging recording %1 of %2...").arg(i + 1).arg(count));
            }
            RecordingDecoder decoder;
            output.openSource(decoder, source);
            output.append(decoder, QStringLiteral("Unknown audio reader error"));
        }
    });

    if (onProgress)
        onProgress(1.0, QStringLiteral("Finalizing merged recording..."));
    return static_cast<double>(output.framesWritten()) / RecordingDecoder::kSampleRate;
}
