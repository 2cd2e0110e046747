#pragma once

#include "PendingCalls.h"
#include "viewmodels/collaborators/TrimmerService.h"

#include <QFile>
#include <QList>
#include <QStringList>

class FakeTrimmer : public TrimmerService {
public:
    struct Call {
        QString source;
        QString destination;
        double start = 0;
        double end = 0;
        ProgressHandler onProgress;
    };

    QFuture<double> trimAudioFile(const QString& sourcePath, const QString& destinationPath, double startTime,
                                  double endTime, ProgressHandler onProgress) override
    {
        requests.append({sourcePath, destinationPath, startTime, endTime, std::move(onProgress)});
        return calls.add();
    }

    // Writes `bytes` bytes of 'c' as the cut and reports `duration`.
    void writeAndFinish(int index, double duration, qint64 bytes = 3000)
    {
        QFile file(requests.at(index).destination);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(bytes, 'c'));
        file.close();
        calls.resolve(index, duration);
    }

    PendingCalls<double> calls;
    QList<Call> requests;
};
