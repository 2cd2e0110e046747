#pragma once

#include "viewmodels/collaborators/TranscriptionService.h"

class WhisperEngine;

// The transcription service over a speech engine (the shared one in the app).
class WhisperEngineAdapter : public TranscriptionService {
public:
    explicit WhisperEngineAdapter(WhisperEngine& engine);

    QFuture<Transcription> transcribeAudioFile(const QString& path) override;
    bool isModelInstalled() const override;

private:
    WhisperEngine& m_engine;
};
