#pragma once

#include <QFuture>
#include <QString>

// Renders a voice-enhanced copy of a recording at `destinationPath`, replacing
// a file already there; cancelling the future ends its work.
class EnhancerService {
public:
    virtual ~EnhancerService() = default;
    virtual QFuture<void> enhanceAudioFile(const QString& sourcePath, const QString& destinationPath) = 0;
};
