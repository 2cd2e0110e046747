#include "support/UserTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace UserTrash {

QString folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Trash"));
}

QString trashedCopyOf(const QString& originalPath)
{
    const QDir trash(folder());
    const QByteArray wanted = "Path=" + QUrl::toPercentEncoding(QFileInfo(originalPath).absoluteFilePath(), "/");
    const QStringList infos = QDir(trash.filePath(QStringLiteral("info")))
                                  .entryList({QStringLiteral("*.trashinfo")}, QDir::Files);
    for (const QString& info : infos) {
        QFile file(trash.filePath(QStringLiteral("info/") + info));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        if (lines.value(0) != "[Trash Info]" || !lines.contains(wanted))
            continue;
        const QString copy = trash.filePath(QStringLiteral("files/") + info.chopped(int(qstrlen(".trashinfo"))));
        if (QFileInfo::exists(copy))
            return copy;
    }
    return {};
}

} // namespace UserTrash
