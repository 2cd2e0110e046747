#include "viewmodels/adapters/UnavailableTranscriber.h"

#include "viewmodels/adapters/FailedFuture.h"

QFuture<TranscriptionService::Transcription> UnavailableTranscriber::transcribeAudioFile(const QString&)
{
    return failedFuture<Transcription>(Error(QStringLiteral("WhisperEngine"), -1,
                                             QStringLiteral("Speech recognition is not available in this version.")));
}
