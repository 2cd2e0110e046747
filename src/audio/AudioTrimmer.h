#pragma once

#include "audio/RecordingEditError.h"

#include <QFuture>
#include <QString>

#include <functional>

// Cuts one time range of a recording into a new MP3 at 44,100 Hz stereo,
// 192 kbit/s. Only that range is decoded; the source is only read.
class AudioTrimmer {
public:
    class TrimError : public RecordingEditError {
    public:
        enum class Kind {
            fileNotFound,
            audioTrackNotFound,
            cannotInitializeReader,
            invalidTimeRange,
            encodingFailed,
            destinationIsSource,
        };

        static TrimError fileNotFound(const QString& path);
        static TrimError audioTrackNotFound(const QString& path);
        static TrimError cannotInitializeReader(const QString& path);
        static TrimError invalidTimeRange(double startTime, double endTime, double totalDuration);
        static TrimError encodingFailed(const QString& message);
        static TrimError destinationIsSource(const QString& path);

        Kind kind() const { return static_cast<Kind>(code()); }

    private:
        TrimError(Kind kind, QString path, const QString& message);
    };

    // Called on the trimming thread after every decoded buffer, never on the
    // main thread; the fraction never decreases and never exceeds 1.
    using ProgressHandler = std::function<void(double fraction)>;

    static AudioTrimmer& shared();

    // Runs on the global thread pool. Cuts [startTime, endTime) seconds; an end
    // past the file's end is cut at the end. The result is the length of the
    // range cut, in seconds. Fails with `TrimError`, or with the encoder's own
    // error when the destination cannot be created. A failure after the
    // destination was created removes it again. Cancelling the future stops
    // the cut at the next buffer and removes the destination; the future
    // finishes once that is done.
    QFuture<double> trimAudioFile(const QString& sourcePath, const QString& destinationPath, double startTime,
                                  double endTime, ProgressHandler onProgress = {}) const;

private:
    AudioTrimmer() = default;
    double trim(const QString& sourcePath, const QString& destinationPath, double startTime, double endTime,
                const ProgressHandler& onProgress, const std::function<bool()>& isCancelled) const;
};
