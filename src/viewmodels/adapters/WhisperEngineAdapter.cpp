#include "viewmodels/adapters/WhisperEngineAdapter.h"

#include "engines/speech/WhisperEngine.h"

WhisperEngineAdapter::WhisperEngineAdapter(WhisperEngine& engine)
    : m_engine(engine)
{
}

QFuture<TranscriptionService::Transcription> WhisperEngineAdapter::transcribeAudioFile(const QString& path)
{
    // The engine's own future: cancelling it stops the engine's work.
    return m_engine.transcribeAudioFile(path);
}

bool WhisperEngineAdapter::isModelInstalled() const
{
    return m_engine.preferredModelURL().has_value();
}
