#pragma once

#include "viewmodels/collaborators/EnhancerService.h"

// Stands in for the voice enhancer until it exists: every request fails with
// a message that says so.
class UnavailableEnhancer : public EnhancerService {
public:
    QFuture<void> enhanceAudioFile(const QString& sourcePath, const QString& destinationPath) override;
};
