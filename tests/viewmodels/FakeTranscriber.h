#pragma once

#include "PendingCalls.h"
#include "viewmodels/collaborators/TranscriptionService.h"

#include <QStringList>

class FakeTranscriber : public TranscriptionService {
public:
    QFuture<Transcription> transcribeAudioFile(const QString& path) override
    {
        paths.append(path);
        return calls.add();
    }
    bool isModelInstalled() const override { return modelInstalled; }

    PendingCalls<Transcription> calls;
    QStringList paths;
    bool modelInstalled = true;
};
