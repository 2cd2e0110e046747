#pragma once

#include "viewmodels/collaborators/TrimmerService.h"

// The trimmer service over the app's one audio trimmer.
class AudioTrimmerAdapter : public TrimmerService {
public:
    QFuture<double> trimAudioFile(const QString& sourcePath, const QString& destinationPath, double startTime,
                                  double endTime, ProgressHandler onProgress) override;
};
