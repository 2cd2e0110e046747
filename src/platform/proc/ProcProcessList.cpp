#include "platform/proc/ProcProcessList.h"

#include "platform/proc/ProcProcessCache.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

namespace {

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64 * 1024);
}

QString linkTarget(const QString& path)
{
    char buffer[4096];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer);
    return length > 0 ? QFile::decodeName(QByteArray(buffer, int(length))) : QString();
}

QString fileName(QString path)
{
    static const QString deleted = QStringLiteral(" (deleted)");
    if (path.endsWith(deleted))
        path.chop(deleted.size()); // the program was replaced by an update while running
    return QFileInfo(path).fileName();
}

// Flatpak runs each application in a cgroup scope "app-flatpak-<id>-<n>.scope".
QString flatpakIdFromCgroup(const QByteArray& cgroup)
{
    static const QRegularExpression scope(QStringLiteral("app-flatpak-(.+)-\\d+\\.scope"));
    const QRegularExpressionMatch match = scope.match(QString::fromUtf8(cgroup));
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

namespace ProcProcessList {

std::optional<ProcProcess> read(qint64 pid)
{
    const QString dir = QStringLiteral("/proc/%1/").arg(pid);
    QString program = linkTarget(dir + QStringLiteral("exe"));
    if (program.isEmpty()) {
        // Another user's process hides its executable link; its command line
        // shows the program. Kernel threads and zombies have neither.
        const QByteArray cmdline = readSmallFile(dir + QStringLiteral("cmdline"));
        if (cmdline.isEmpty())
            return std::nullopt;
        program = QString::fromLocal8Bit(cmdline.left(cmdline.indexOf('\0')));
    }
    ProcProcess process;
    process.pid = pid;
    process.executable = fileName(program);
    process.flatpakId = flatpakIdFromCgroup(readSmallFile(dir + QStringLiteral("cgroup")));
    return process;
}

QList<ProcProcess> all()
{
    return ProcProcessCache().processes();
}

} // namespace ProcProcessList
