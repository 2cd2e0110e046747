#include "audio/SameFile.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

bool isSameFile(const QString& first, const QString& second)
{
    const QString firstCanonical = QFileInfo(first).canonicalFilePath();
    const QString secondCanonical = QFileInfo(second).canonicalFilePath();
    if (firstCanonical.isEmpty() || secondCanonical.isEmpty())
        return false;
    if (firstCanonical == secondCanonical)
        return true;
    struct stat a {};
    struct stat b {};
    if (::stat(QFile::encodeName(first).constData(), &a) != 0 || ::stat(QFile::encodeName(second).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
