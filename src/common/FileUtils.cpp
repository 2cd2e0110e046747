#include "common/FileUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kExistsReason = QString::fromLocal8Bit(std::strerror(EEXIST));

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

namespace FileUtils {

QString moveWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray destination = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, destination.constData(), RENAME_NOREPLACE) == 0)
        return {};
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        // The file system cannot rename without replacing: a hard link fails on
        // an existing destination, which gives the same guarantee.
        if (::link(source.constData(), destination.constData()) == 0) {
            ::unlink(source.constData());
            return {};
        }
        error = errno;
    }
    if (error == EXDEV) {
        if (QFileInfo::exists(to))
            return kExistsReason;
        if (!QFile::copy(from, to))
            return QStringLiteral("Could not copy the file to its destination.");
        QFile::remove(from);
        return {};
    }
    return errnoText(error);
}

QString replaceAtomically(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return errnoText(errno);
}

bool destinationExists(const QString& reason)
{
    return reason == kExistsReason;
}

QString freeFileName(const QString& folder, const QString& stem, const QString& extension)
{
    const QDir dir(folder);
    QString name = stem + extension;
    for (int counter = 1; QFileInfo::exists(dir.filePath(name)); ++counter)
        name = stem + QStringLiteral(" (%1)").arg(counter) + extension;
    return name;
}

qint64 fileSize(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return static_cast<qint64>(info.st_size);
}

} // namespace FileUtils
