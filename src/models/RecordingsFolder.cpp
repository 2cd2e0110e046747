#include "models/RecordingsFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace RecordingsFolder {

QString problem(const QString& folder)
{
    const QByteArray name = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISDIR(info.st_mode))
        return QString::fromLocal8Bit(std::strerror(ENOTDIR));
    DIR* directory = ::opendir(name.constData());
    if (!directory)
        return QString::fromLocal8Bit(std::strerror(errno));
    errno = 0;
    const bool listed = ::readdir(directory) != nullptr || errno == 0;
    const int error = errno;
    ::closedir(directory);
    return listed ? QString() : QString::fromLocal8Bit(std::strerror(error));
}

bool missesEveryRecording(const QString& folder, const QList<RecordingItem>& indexed)
{
    if (indexed.isEmpty())
        return false;
    const QDir dir(folder);
    for (const RecordingItem& item : indexed) {
        struct stat info {};
        if (item.fileName.isEmpty() || item.fileName.contains(QLatin1Char('/')))
            continue;
        if (::stat(QFile::encodeName(dir.filePath(item.fileName)).constData(), &info) == 0 || errno != ENOENT)
            return false;
    }
    return true;
}

} // namespace RecordingsFolder
