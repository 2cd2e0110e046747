#include "viewmodels/adapters/UnavailableRecapWriter.h"

#include "common/AppPaths.h"
#include "viewmodels/adapters/FailedFuture.h"

#include <QDir>

QFuture<QString> UnavailableRecapWriter::generateRecap(const QString&, RecordingType)
{
    return failedFuture<QString>(
        Error(QStringLiteral("RecapEngine"), -1, QStringLiteral("Recaps are not available in this version.")));
}

QString UnavailableRecapWriter::modelsDirectory() const
{
    return QDir(AppPaths::appFolder()).filePath(QStringLiteral("Models"));
}

QString UnavailableRecapWriter::modelFileName() const
{
    // Never present: no automatic recap is attempted.
    return {};
}
