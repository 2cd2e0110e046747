#include "viewmodels/adapters/VoiceEnhancerEngineAdapter.h"

#include "engines/enhancer/VoiceEnhancerEngine.h"

VoiceEnhancerEngineAdapter::VoiceEnhancerEngineAdapter(VoiceEnhancerEngine& engine)
    : m_engine(engine)
{
}

QFuture<void> VoiceEnhancerEngineAdapter::enhanceAudioFile(const QString& sourcePath, const QString& destinationPath)
{
    return m_engine.enhanceAudioFile(sourcePath, destinationPath);
}
