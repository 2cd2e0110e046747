#pragma once

#include "PendingCalls.h"
#include "viewmodels/collaborators/RecapService.h"

#include <QList>
#include <QStringList>

class FakeRecapWriter : public RecapService {
public:
    explicit FakeRecapWriter(QString folder)
        : m_folder(std::move(folder))
    {
    }

    QFuture<QString> generateRecap(const QString& transcript, RecordingType recordingType) override
    {
        transcripts.append(transcript);
        types.append(recordingType);
        return calls.add();
    }
    QString modelsDirectory() const override { return m_folder; }
    QString modelFileName() const override { return QStringLiteral("recap-model.gguf"); }

    PendingCalls<QString> calls;
    QStringList transcripts;
    QList<RecordingType> types;

private:
    QString m_folder;
};
