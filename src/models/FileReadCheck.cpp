#include "models/FileReadCheck.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReadCheck {

QString problem(const QString& path, Extent extent)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    QString why;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        why = QStringLiteral("not a regular file");
    } else {
        char block[65536];
        while (true) {
            const ssize_t got = ::read(fd, block, sizeof block);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                why = QString::fromLocal8Bit(std::strerror(errno));
            if (got <= 0 || extent == Extent::start)
                break;
        }
    }
    ::close(fd);
    return why;
}

} // namespace FileReadCheck
