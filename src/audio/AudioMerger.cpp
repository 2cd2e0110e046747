#include "audio/AudioMerger.h"

#include "audio/BackgroundTask.h"
#include "audio/MP3Encoder.h"
#include "audio/RecordingDecoder.h"
#include "audio/SameFile.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace {

// Eight encoder passes: whole passes reach the encoder without being copied.
constexpr int64_t kChunkFrames = 1152 * 8;

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

AudioMerger::MergeError::MergeError(Kind kind, QString path, const QString& message)
    : Error(QStringLiteral("AudioMerger.MergeError"), static_cast<int>(kind), message)
    , m_kind(kind)
    , m_path(std::move(path))
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

    MP3Encoder encoder(destinationPath, RecordingDecoder::kSampleRate, 192, RecordingDecoder::kChannels);
    const auto discardDestination = [&] {
        try {
            encoder.finish();
        } catch (const Error&) {
            // The file goes anyway.
        }
        QFile::remove(destinationPath);
    };

    int64_t totalFrames = 0;
    std::vector<int16_t> samples(static_cast<size_t>(kChunkFrames * RecordingDecoder::kChannels));
    const qsizetype count = sourcePaths.size();
    try {
        for (qsizetype i = 0; i < count; ++i) {
            const QString& source = sourcePaths[i];
            if (onProgress) {
                onProgress(static_cast<double>(i) / static_cast<double>(count),
                           QStringLiteral("Merging recording %1 of %2...").arg(i + 1).arg(count));
            }
            RecordingDecoder decoder;
            switch (decoder.open(source)) {
            case RecordingDecoder::OpenResult::unreadable:
                throw MergeError::cannotInitializeReader(source);
            case RecordingDecoder::OpenResult::noAudio:
                throw MergeError::audioTrackNotFound(source);
            case RecordingDecoder::OpenResult::opened:
                break;
            }
            for (;;) {
                const int64_t frames = decoder.read(samples.data(), kChunkFrames);
                if (frames < 0) {
                    const QString reason = decoder.errorString();
                    throw MergeError::encodingFailed(reason.isEmpty() ? QStringLiteral("Unknown audio reader error")
                                                                      : reason);
                }
                if (frames == 0)
                    break;
                encoder.encode(samples.data(), static_cast<size_t>(frames * RecordingDecoder::kChannels));
                totalFrames += frames;
            }
        }
        encoder.finish();
    } catch (const MergeError&) {
        discardDestination();
        throw;
    } catch (const Error& error) {
        // The encoder could not write (a full disk): a short file is no merge.
        discardDestination();
        throw MergeError::encodingFailed(error.message());
    }

    if (onProgress)
        onProgress(1.0, QStringLiteral("Finalizing merged recording..."));
    return static_cast<double>(totalFrames) / RecordingDecoder::kSampleRate;
}
