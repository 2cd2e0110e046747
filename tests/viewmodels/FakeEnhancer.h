#pragma once

#include "PendingCalls.h"
#include "viewmodels/collaborators/EnhancerService.h"

#include <QFile>
#include <QStringList>

class FakeEnhancer : public EnhancerService {
public:
    QFuture<void> enhanceAudioFile(const QString& sourcePath, const QString& destinationPath) override
    {
        sources.append(sourcePath);
        destinations.append(destinationPath);
        return calls.add();
    }

    // What an engine that ignores cancellation does: writes its copy, then ends.
    void writeAndFinish(int index)
    {
        QFile file(destinations.at(index));
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(2048, 'e'));
        file.close();
        calls.resolve(index);
    }

    PendingCalls<void> calls;
    QStringList sources;
    QStringList destinations;
};
