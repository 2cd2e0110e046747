#pragma once

#include "models/RecordingType.h"

#include <QFuture>
#include <QString>

// Writes a Markdown recap of a transcript; cancelling the future ends its work.
class RecapService {
public:
    virtual ~RecapService() = default;
    virtual QFuture<QString> generateRecap(const QString& transcript, RecordingType recordingType) = 0;
    // Automatic recaps run only while this folder holds the model file.
    virtual QString modelsDirectory() const = 0;
    virtual QString modelFileName() const = 0;
};
