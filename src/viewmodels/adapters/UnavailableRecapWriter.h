#pragma once

#include "viewmodels/collaborators/RecapService.h"

// Stands in for the recap engine where none is built in.
class UnavailableRecapWriter : public RecapService {
public:
    QFuture<QString> generateRecap(const QString& transcript, RecordingType recordingType) override;
    QString modelsDirectory() const override;
    QString modelFileName() const override;
};
