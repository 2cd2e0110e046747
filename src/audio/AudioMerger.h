#pragma once

#include "audio/RecordingEditError.h"

#include <QFuture>
#include <QString>
#include <QStringList>

#include <functional>

// Joins recordings, in the order given, into one new MP3 at 44,100 Hz stereo,
// 192 kbit/s, with nothing between them. Sources are only read.
class AudioMerger {
public:
    class MergeError : public RecordingEditError {
    public:
        enum class Kind {
            fileNotFound,
            audioTrackNotFound,
            cannotInitializeReader,
            encodingFailed,
            insufficientRecordings,
            destinationIsSource,
        };

        static MergeError fileNotFound(const QString& path);
        static MergeError audioTrackNotFound(const QString& path);
        static MergeError cannotInitializeReader(const QString& path);
        static MergeError encodingFailed(const QString& message);
        static MergeError insufficientRecordings();
        static MergeError destinationIsSource(const QString& path);

        Kind kind() const { return static_cast<Kind>(code()); }

    private:
        MergeError(Kind kind, QString path, const QString& message);
    };

    // Called on the merging thread, never on the main thread: fraction 0 to 1
    // of the whole length and a line for the user naming the recording being
    // joined and the whole percentage; once per recording and per percent.
    using ProgressHandler = std::function<void(double fraction, const QString& message)>;

    static AudioMerger& shared();

    // Runs on the global thread pool. The result is the merged length in
    // seconds, counted from the decoded samples. Fails with `MergeError`, or
    // with the encoder's own error when the destination cannot be created. A
    // failure after the destination was created removes it again. Cancelling
    // the future stops the merge at the next buffer and removes the
    // destination; the future finishes once that is done.
    QFuture<double> mergeAudioFiles(const QStringList& sourcePaths, const QString& destinationPath,
                                    ProgressHandler onProgress = {}) const;

private:
    AudioMerger() = default;
    double merge(const QStringList& sourcePaths, const QString& destinationPath, const ProgressHandler& onProgress,
                 const std::function<bool()>& isCancelled) const;
};
