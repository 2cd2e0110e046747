#include "services/updates/StagedBundle.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace StagedBundle {

namespace {

// Linux gives up after this many links in one resolution.
constexpr int kMaxLinks = 40;

enum class Resolution { inside, outside, loop };

bool lstatPath(const QString& path, struct stat& info)
{
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QString readLink(const QString& path)
{
    QByteArray target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target.data(), target.size());
    if (length < 0)
        return {};
    target.truncate(length);
    return QFile::decodeName(target);
}

// Follows the link at `root`/`linkPath` step by step as the kernel would,
// expanding every link met on the way, and tells whether each step stays
// inside `root`. A step that does not exist is taken by its text.
Resolution resolve(const QString& root, const QString& linkPath)
{
    QStringList at = linkPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    at.removeLast();
    QStringList pending = readLink(root + QLatin1Char('/') + linkPath).split(QLatin1Char('/'), Qt::KeepEmptyParts);
    if (pending.isEmpty() || pending.first().isEmpty())
        return Resolution::outside; // absolute, or unreadable
    int linksLeft = kMaxLinks - 1;
    while (!pending.isEmpty()) {
        const QString step = pending.takeFirst();
        if (step.isEmpty() || step == QLatin1String("."))
            continue;
        if (step == QLatin1String("..")) {
            if (at.isEmpty())
                return Resolution::outside;
            at.removeLast();
            continue;
        }
        at << step;
        const QString path = root + QLatin1Char('/') + at.join(QLatin1Char('/'));
        struct stat info {};
        if (!lstatPath(path, info) || !S_ISLNK(info.st_mode))
            continue;
        if (linksLeft-- <= 0)
            return Resolution::loop;
        const QString target = readLink(path);
        if (target.isEmpty() || target.startsWith(QLatin1Char('/')))
            return Resolution::outside;
        at.removeLast();
        pending = target.split(QLatin1Char('/'), Qt::KeepEmptyParts) + pending;
    }
    return Resolution::inside;
}

// The ELF machine of the running program: an update must match it.
int ownMachine()
{
    QFile self(QStringLiteral("/proc/self/exe"));
    Elf64_Ehdr header {};
    if (!self.open(QIODevice::ReadOnly) || self.read(reinterpret_cast<char*>(&header), sizeof header) < 20)
        return -1;
    return header.e_machine;
}

bool isProgramForThisComputer(const QString& path)
{
    QFile file(path);
    Elf64_Ehdr header {};
    if (!file.open(QIODevice::ReadOnly) || file.read(reinterpret_cast<char*>(&header), 20) < 20)
        return false;
    static const int machine = ownMachine();
    return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0
        && header.e_ident[EI_CLASS] == (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32)
        && header.e_ident[EI_DATA] == (Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB)
        && (header.e_type == ET_EXEC || header.e_type == ET_DYN) && header.e_machine == machine;
}

QString programProblem(const QString& bundle)
{
    const QString name = QFileInfo(bundle).fileName() + QStringLiteral("/bin/nimbrel");
    const QString program = bundle + QStringLiteral("/bin/nimbrel");
    struct stat info {};
    if (!lstatPath(program, info))
        return QStringLiteral("The update holds no %1.").arg(name);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("The update's %1 is not a regular file.").arg(name);
    if ((info.st_mode & S_IXUSR) == 0)
        return QStringLiteral("The update's %1 is not executable.").arg(name);
    if (!isProgramForThisComputer(program))
        return QStringLiteral("The update's %1 is not a program for this computer.").arg(name);
    return {};
}

} // namespace

QString findProblem(const QString& stagingFolder, const QString& bundle)
{
    const QString staging = QFileInfo(stagingFolder).canonicalFilePath();
    const QString bundleName = QFileInfo(bundle).fileName();
    QDirIterator entries(staging, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QString relative = path.mid(staging.size() + 1);
        struct stat info {};
        if (!lstatPath(path, info))
            return QStringLiteral("The update archive holds an entry that cannot be read: %1").arg(relative);
        if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))
            continue;
        if (!S_ISLNK(info.st_mode))
            return QStringLiteral("The update archive holds an entry that is not a file, folder or link: %1")
                .arg(relative);
        const bool inBundle = relative.startsWith(bundleName + QLatin1Char('/'));
        const Resolution resolution = inBundle ? resolve(staging + QLatin1Char('/') + bundleName,
                                                         relative.mid(bundleName.size() + 1))
                                               : resolve(staging, relative);
        if (resolution == Resolution::loop)
            return QStringLiteral("The update archive holds a link that never ends: %1").arg(relative);
        if (resolution == Resolution::outside)
            return QStringLiteral("The update archive holds an entry outside its folder: %1").arg(relative);
    }
    return programProblem(bundle);
}

} // namespace StagedBundle
