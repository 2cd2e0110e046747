#pragma once

#include "viewmodels/collaborators/TranscriptionService.h"

// Stands in for the speech engine where none is built in.
class UnavailableTranscriber : public TranscriptionService {
public:
    QFuture<Transcription> transcribeAudioFile(const QString& path) override;
};
