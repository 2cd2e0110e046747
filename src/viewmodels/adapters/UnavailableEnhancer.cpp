#include "viewmodels/adapters/UnavailableEnhancer.h"

#include "viewmodels/adapters/FailedFuture.h"

QFuture<void> UnavailableEnhancer::enhanceAudioFile(const QString&, const QString&)
{
    return failedFuture<void>(Error(QStringLiteral("VoiceEnhancerEngine"), -1,
                                    QStringLiteral("Voice enhancement is not available in this version.")));
}
