#pragma once

#include "viewmodels/collaborators/RecapService.h"

class RecapEngine;

// The recap service over a recap engine (the shared one by default).
class RecapEngineAdapter : public RecapService {
public:
    explicit RecapEngineAdapter(RecapEngine& engine);

    QFuture<QString> generateRecap(const QString& transcript, RecordingType recordingType) override;
    QString modelsDirectory() const override;
    QString modelFileName() const override;

private:
    RecapEngine& m_engine;
};
