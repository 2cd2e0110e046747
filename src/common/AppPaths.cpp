#include "common/AppPaths.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>
#include <sys/stat.h>
#include <mutex>

namespace {

QString firstWritable(QStandardPaths::StandardLocation location, const QString& fallbackUnderHome)
{
    QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty())
        path = QDir::home().filePath(fallbackUnderHome);
    return path;
}

struct PrivateTemp {
    QString path;
    ~PrivateTemp()
    {
        if (!path.isEmpty())
            QDir(path).removeRecursively();
    }
};

} // namespace

namespace AppPaths {

QString applicationSupportFolder()
{
    return firstWritable(QStandardPaths::GenericDataLocation, QStringLiteral(".local/share"));
}

QString appFolder()
{
    return QDir(applicationSupportFolder()).filePath(QStringLiteral("Nimbrel"));
}

QString legacyAppFolder()
{
    return QDir(applicationSupportFolder()).filePath(QStringLiteral("CorvelleEnhanced"));
}

QString downloadsFolder()
{
    return firstWritable(QStandardPaths::DownloadLocation, QStringLiteral("Downloads"));
}

QString cachesFolder()
{
    return firstWritable(QStandardPaths::GenericCacheLocation, QStringLiteral(".cache"));
}

QString privateTempFolder()
{
    static PrivateTemp temp;
    static std::once_flag once;
    std::call_once(once, [] {
        QByteArray pattern = QDir(QDir::tempPath()).filePath(QStringLiteral("nimbrel-XXXXXX")).toLocal8Bit();
        // mkdtemp makes the folder with mode 0700.
        if (char* made = ::mkdtemp(pattern.data()))
            temp.path = QString::fromLocal8Bit(made);
    });
    if (!temp.path.isEmpty() && !QDir(temp.path).exists())
        ::mkdir(temp.path.toLocal8Bit().constData(), 0700); // removed behind our back
    return temp.path.isEmpty() ? QDir::tempPath() : temp.path;
}

} // namespace AppPaths
