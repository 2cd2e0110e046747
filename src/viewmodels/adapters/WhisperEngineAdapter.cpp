#include "viewmodels/adapters/WhisperEngineAdapter.h"

#include "engines/speech/WhisperEngine.h"
#include "viewmodels/adapters/MappedFuture.h"

WhisperEngineAdapter::WhisperEngineAdapter(WhisperEngine& engine)
    : m_engine(engine)
{
}

QFuture<TranscriptionService::Transcription> WhisperEngineAdapter::transcribeAudioFile(const QString& path)
{
    return mappedFuture<Transcription>(m_engine.transcribeAudioFile(path), [](const ::Transcription& result) {
        return Transcription{result.text, result.segments};
    });
}

bool WhisperEngineAdapter::isModelInstalled() const
{
    return m_engine.preferredModelURL().has_value();
}
