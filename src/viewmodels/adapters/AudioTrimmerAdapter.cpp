#include "viewmodels/adapters/AudioTrimmerAdapter.h"

#include "audio/AudioTrimmer.h"

QFuture<double> AudioTrimmerAdapter::trimAudioFile(const QString& sourcePath, const QString& destinationPath,
                                                   double startTime, double endTime, ProgressHandler onProgress)
{
    return AudioTrimmer::shared().trimAudioFile(sourcePath, destinationPath, startTime, endTime,
                                                std::move(onProgress));
}
