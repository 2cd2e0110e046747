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
QString asideStem(const QString& path, const QString& kind = QStringLiteral("corrupt"))
{
    return QFileInfo(path).fileName() + QLatin1Char('.') + kind + QLatin1Char('-')
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd'T'HH-mm-ss'Z'"));
}

constexpr size_t kLargeFile = 8 << 20;

// `size` bytes of `fd` into `buffer`; false with `problem` set when they cannot be.
bool readWhole(int fd, char* buffer, size_t size, QString& problem)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            problem = got < 0 ? errnoText(errno) : QStringLiteral("the file shrank while it was read");
            return false;
        }
        done += size_t(got);
    }
    return true;
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
    const size_t page = size_t(::sysconf(_SC_PAGESIZE));
    const size_t size = size_t(opened.st_size);
    const size_t total = (size + padding + page - 1) / page * page;
    // A large index is read into anonymous memory in large pages: every 4 KB
    // page of a file mapping costs a fault on first touch, which for a hundred
    // megabytes takes longer than the copy. A small one is mapped as it is.
    const bool large = size >= kLargeFile;
    void* base = ::mmap(nullptr, total, large ? PROT_READ | PROT_WRITE : PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
        contents.problem = errnoText(errno);
        ::close(fd);
        return contents;
    }
    if (large) {
        ::madvise(base, total, MADV_HUGEPAGE);
        if (!readWhole(fd, static_cast<char*>(base), size, contents.problem)) {
            ::munmap(base, total);
            ::close(fd);
            return contents;
        }
    } else if (size > 0 && ::mmap(base, size, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, fd, 0) == MAP_FAILED) {
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

QString IndexFile::writeAside(const QString& path, const QByteArray& data, const QString& kind)
{
    const QString stem = asideStem(path, kind);
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
