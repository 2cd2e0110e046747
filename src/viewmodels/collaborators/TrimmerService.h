#pragma once

#include <QFuture>
#include <QString>

#include <functional>

// Cuts one time range of a recording into a new MP3 file.
class TrimmerService {
public:
    // Called on the trimming thread with the fraction done, 0 to 1.
    using ProgressHandler = std::function<void(double fraction)>;

    virtual ~TrimmerService() = default;
    // The result is the length of the range cut, in seconds (the end limited
    // to the file). A failure leaves no file at `destinationPath`.
    virtual QFuture<double> trimAudioFile(const QString& sourcePath, const QString& destinationPath, double startTime,
                                          double endTime, ProgressHandler onProgress) = 0;
};
