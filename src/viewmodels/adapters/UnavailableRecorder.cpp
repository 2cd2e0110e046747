#include "viewmodels/adapters/UnavailableRecorder.h"

#include "viewmodels/adapters/FailedFuture.h"

QFuture<void> UnavailableRecorder::startRecording(const QString&, const std::optional<AudioDevice>&)
{
    return failedFuture<void>(Error(QStringLiteral("AudioMixerRecorder"), -1,
                                    QStringLiteral("Recording is not available in this version.")));
}

QFuture<RecorderService::StopResult> UnavailableRecorder::stopRecording()
{
    QPromise<StopResult> promise;
    promise.start();
    promise.addResult(StopResult{});
    promise.finish();
    return promise.future();
}
