#pragma once

#include "engines/speech/Transcription.h"

#include <QFuture>
#include <QString>

// Turns a recording's audio file into text with timed segments. The engine
// reads the language setting itself; cancelling the future ends its work.
class TranscriptionService {
public:
    using Transcription = ::Transcription;

    virtual ~TranscriptionService() = default;
    virtual QFuture<Transcription> transcribeAudioFile(const QString& path) = 0;
    // Whether a speech model is installed: without one every transcription fails.
    virtual bool isModelInstalled() const = 0;
};
