#include "models/IndexFile.h"

#include "common/FileUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// "recordings.json.corrupt-2024-05-01T09-30-00Z": sorts by time and is a
// valid name on every file system.
QString asideStem(const QString& path)
{
    return QFileInfo(path).fileName() + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd'T'HH-mm-ss'Z'"));
}

} // namespace

IndexFile::Contents IndexFile::read(const QString& path, size_t padding)
{
    Contents contents;
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        if (errno != ENOENT) {
            contents.state = State::unreadable;
            contents.problem = errnoText(errno);
        }
        return contents;
    }
    contents.state = State::unreadable;
    if (!S_ISREG(info.st_mode)) {
        contents.problem = QStringLiteral("not a regular file");
        return contents;
    }
    // Non-blocking in case something else took the name between the check and the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        contents.problem = errnoText(errno);
        return contents;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        contents.problem = QStringLiteral("not a regular file");
        ::close(fd);
        return contents;
    }
    // Read to the end, whatever the size said: the file may still grow.
    QByteArray text;
    qsizetype size = 0;
    text.resize(qsizetype(opened.st_size) + qsizetype(padding) + 1);
    while (true) {
        if (text.size() - size < qsizetype(padding) + 1)
            text.resize(text.size() * 2);
        const ssize_t got = ::read(fd, text.data() + size, size_t(text.size() - size - qsizetype(padding)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            contents.problem = errnoText(errno);
            ::close(fd);
            return contents;
        }
        if (got == 0)
            break;
        size += got;
    }
    ::close(fd);
    // Truncating keeps the allocation, so the padding stays readable.
    text.truncate(size);
    contents.state = State::read;
    contents.text = std::move(text);
    return contents;
}

QString IndexFile::moveAside(const QString& path)
{
    const QString stem = asideStem(path);
    const QString folder = QFileInfo(path).absolutePath();
    // Never replace an earlier copy, even one that appears between the check and the move.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = FileUtils::freeFileName(folder, stem, QString());
        const QString reason = FileUtils::moveWithoutReplacing(path, QDir(folder).filePath(name));
        if (reason.isEmpty())
            return name;
        if (!FileUtils::destinationExists(reason))
            return {};
    }
    return {};
}

QString IndexFile::writeAside(const QString& path, const QByteArray& data)
{
    const QString stem = asideStem(path);
    const QString folder = QFileInfo(path).absolutePath();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = FileUtils::freeFileName(folder, stem, QString());
        QFile file(QDir(folder).filePath(name));
        // NewOnly: an earlier copy that appears meanwhile is never replaced.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(file.fileName()))
                continue;
            return {};
        }
        if (file.write(data) != data.size() || !file.flush() || ::fsync(file.handle()) != 0) {
            file.close();
            file.remove();
            return {};
        }
        return name;
    }
    return {};
}
