#include "engines/ModelLocations.h"

#include "common/AppPaths.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QFileInfo>

namespace ModelLocations {

QString modelsDirectory()
{
    const QString current = QDir(AppPaths::appFolder()).filePath(QStringLiteral("Models"));
    const QString legacy = QDir(AppPaths::legacyAppFolder()).filePath(QStringLiteral("Models"));
    if (!QFileInfo(current).isDir() && QFileInfo(legacy).isDir())
        return legacy;
    QDir().mkpath(current); // a failure shows later, when a file is written
    return current;
}

QUrl hostUrl(const QString& path)
{
    QString base = qEnvironmentVariable("NIMBREL_MODEL_HOST");
    if (base.isEmpty())
        base = QStringLiteral("https://huggingface.co");
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + path);
}

void watchOnly(QFileSystemWatcher& watcher, const QString& folder)
{
    if (watcher.directories() == QStringList{folder})
        return;
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    watcher.addPath(folder);
}

} // namespace ModelLocations
