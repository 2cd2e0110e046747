#pragma once

#include "viewmodels/collaborators/EnhancerService.h"

class VoiceEnhancerEngine;

// The enhancer service over a voice enhancer engine (the shared one by default).
class VoiceEnhancerEngineAdapter : public EnhancerService {
public:
    explicit VoiceEnhancerEngineAdapter(VoiceEnhancerEngine& engine);

    QFuture<void> enhanceAudioFile(const QString& sourcePath, const QString& destinationPath) override;

private:
    VoiceEnhancerEngine& m_engine;
};
