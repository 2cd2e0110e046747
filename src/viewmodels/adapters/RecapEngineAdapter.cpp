#include "viewmodels/adapters/RecapEngineAdapter.h"

#include "engines/recap/RecapEngine.h"

RecapEngineAdapter::RecapEngineAdapter(RecapEngine& engine)
    : m_engine(engine)
{
}

QFuture<QString> RecapEngineAdapter::generateRecap(const QString& transcript, RecordingType recordingType)
{
    return m_engine.generateRecap(transcript, recordingType);
}

QString RecapEngineAdapter::modelsDirectory() const
{
    return RecapEngine::modelsDirectory();
}

QString RecapEngineAdapter::modelFileName() const
{
    return RecapEngine::modelFileName;
}
