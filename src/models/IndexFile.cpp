#include "models/IndexFile.h"

#include "common/FileUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
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
    // A mapping of the file followed by anonymous zero pages for the padding.
    const size_t page = size_t(::sysconf(_SC_PAGESIZE));
    const size_t size = size_t(opened.st_size);
    const size_t total = (size + padding + page - 1) / page * page;
    void* base = ::mmap(nullptr, total, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
        contents.problem = errnoText(errno);
        ::close(fd);
        return contents;
    }
    if (size > 0 && ::mmap(base, size, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, fd, 0) == MAP_FAILED) {
        contents.problem = errnoText(errno);
        ::munmap(base, total);
        ::close(fd);
        return contents;
    }
    ::close(fd);
    contents.mapping = std::shared_ptr<const void>(base, [total](const void* mapped) {
        ::munmap(const_cast<void*>(mapped), total);
    });
    contents.text = std::string_view(static_cast<const char*>(base), size);
    contents.state = State::read;
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
