#include "services/updates/UpdateArchive.h"

#include "common/ByteCountText.h"
#include "common/Error.h"
#include "services/updates/StagedBundle.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <sys/stat.h>

namespace UpdateArchive {

namespace {

const QString kDomain = QStringLiteral("UpdateManager");
const QString kBundleName = QStringLiteral("Nimbrel.app");

using ReadArchive = std::unique_ptr<archive, decltype(&archive_read_free)>;
using WriteArchive = std::unique_ptr<archive, decltype(&archive_write_free)>;

ReadArchive openZip(const QString& path)
{
    ReadArchive reader(archive_read_new(), &archive_read_free);
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(path).constData(), 64 * 1024) != ARCHIVE_OK)
        return ReadArchive(nullptr, &archive_read_free);
    return reader;
}

// A relative path of clean steps: no root, no "..", nothing empty but a
// trailing slash of a folder entry.
bool isContainedPath(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')))
        return false;
    const QStringList steps = path.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (steps[i] == QLatin1String(".."))
            return false;
        if (steps[i].isEmpty() && i != steps.size() - 1)
            return false;
    }
    return true;
}

// Whether a link stored at `entryPath` pointing to `target` stays inside the
// archive's own tree, resolved by its text alone.
bool linkStaysInside(const QString& entryPath, const QString& target)
{
    if (target.isEmpty() || target.startsWith(QLatin1Char('/')))
        return false;
    QStringList resolved = entryPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    resolved.removeLast(); // the link's own folder
    for (const QString& step : target.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("."))
            continue;
        if (step == QLatin1String("..")) {
            if (resolved.isEmpty())
                return false;
            resolved.removeLast();
            continue;
        }
        resolved << step;
    }
    return true;
}

void emptyFolder(const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

[[noreturn]] void failAndClean(const QString& staging, int code, const QString& message)
{
    emptyFolder(staging);
    throw Error(kDomain, code, message);
}

QString tooLarge(qint64 limit)
{
    return QStringLiteral("The update archive unpacks to more than %1.").arg(byteCountText(limit));
}

QString entryPath(archive_entry* entry)
{
    const char* utf8 = archive_entry_pathname_utf8(entry);
    return QString::fromUtf8(utf8 ? utf8 : archive_entry_pathname(entry));
}

// Copies one entry's data, counting what is written against `budget`, as a
// header may understate what its data unpacks to.
QString copyData(archive* reader, archive* writer, qint64& budget, qint64 limit)
{
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    int result;
    while ((result = archive_read_data_block(reader, &block, &size, &offset)) == ARCHIVE_OK) {
        budget -= static_cast<qint64>(size);
        if (budget < 0)
            return tooLarge(limit);
        if (archive_write_data_block(writer, block, size, offset) != ARCHIVE_OK)
            return QStringLiteral("The update could not be unpacked: %1")
                .arg(QString::fromLocal8Bit(archive_error_string(writer)));
    }
    if (result != ARCHIVE_EOF)
        return QStringLiteral("The update archive is damaged.");
    return {};
}

} // namespace

QString findUnsafeEntry(const QString& archivePath, qint64* declaredBytes)
{
    ReadArchive reader = openZip(archivePath);
    if (!reader)
        return QStringLiteral("The update archive cannot be read.");
    qint64 declared = 0;
    archive_entry* entry = nullptr;
    int result;
    while ((result = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        const QString path = entryPath(entry);
        const QString outside = QStringLiteral("The update archive holds an entry outside its folder: %1").arg(path);
        if (!isContainedPath(path))
            return outside;
        const mode_t type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry))
            return QStringLiteral("The update archive holds a hard link: %1").arg(path);
        if (type == AE_IFLNK) {
            const char* target = archive_entry_symlink(entry);
            if (!target || !linkStaysInside(path, QString::fromUtf8(target)))
                return outside;
        } else if (type != AE_IFREG && type != AE_IFDIR) {
            return QStringLiteral("The update archive holds an entry that is not a file, folder or link: %1").arg(path);
        }
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0)
            declared += archive_entry_size(entry);
        archive_read_data_skip(reader.get());
    }
    if (result != ARCHIVE_EOF)
        return QStringLiteral("The update archive is damaged.");
    if (declaredBytes)
        *declaredBytes = declared;
    return {};
}

QString stage(const QString& archivePath, const QString& stagingFolder, qint64 maxUnpackedBytes)
{
    emptyFolder(stagingFolder);
    if (!QFileInfo(stagingFolder).isDir())
        throw Error(kDomain, -1, QStringLiteral("The staging folder cannot be created."));
    qint64 declared = 0;
    const QString unsafe = findUnsafeEntry(archivePath, &declared);
    if (!unsafe.isEmpty())
        failAndClean(stagingFolder, 1, unsafe);
    if (declared > maxUnpackedBytes)
        failAndClean(stagingFolder, 1, tooLarge(maxUnpackedBytes));
    const QStorageInfo volume(stagingFolder);
    if (volume.isValid() && declared > volume.bytesAvailable())
        failAndClean(stagingFolder, 1, QStringLiteral("There is not enough free space to unpack the update: %1 needed, %2 free.")
                                           .arg(byteCountText(declared), byteCountText(volume.bytesAvailable())));

    ReadArchive reader = openZip(archivePath);
    WriteArchive writer(archive_write_disk_new(), &archive_write_free);
    if (!reader)
        failAndClean(stagingFolder, 1, QStringLiteral("The update archive cannot be read."));
    // The same refusals once more in libarchive itself, in case a name reads
    // differently to it than to the check above. Entries get the staging
    // folder's real path in front (no link on the way, which the link check
    // would refuse), so absolute names are refused by the check above alone.
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_PERM
                                                     | ARCHIVE_EXTRACT_SECURE_NODOTDOT
                                                     | ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    const QByteArray root = QFile::encodeName(QFileInfo(stagingFolder).canonicalFilePath()) + '/';
    const auto refused = [&](const QString& path) {
        return QStringLiteral("The update archive holds an entry that cannot be unpacked safely: %1 (%2)")
            .arg(path, QString::fromLocal8Bit(archive_error_string(writer.get())));
    };
    qint64 budget = maxUnpackedBytes;
    archive_entry* entry = nullptr;
    int result;
    while ((result = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        const QString path = entryPath(entry);
        archive_entry_set_pathname(entry, (root + archive_entry_pathname(entry)).constData());
        // Permissions as packed, but never set-id bits or writable by others.
        archive_entry_set_perm(entry, archive_entry_perm(entry) & 0755);
        if (archive_write_header(writer.get(), entry) != ARCHIVE_OK)
            failAndClean(stagingFolder, 1, refused(path));
        const QString copyProblem = copyData(reader.get(), writer.get(), budget, maxUnpackedBytes);
        if (!copyProblem.isEmpty())
            failAndClean(stagingFolder, 1, copyProblem);
        if (archive_write_finish_entry(writer.get()) != ARCHIVE_OK)
            failAndClean(stagingFolder, 1, refused(path));
    }
    if (result != ARCHIVE_EOF)
        failAndClean(stagingFolder, 1, QStringLiteral("The update archive is damaged."));
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        failAndClean(stagingFolder, 1, QStringLiteral("The update could not be unpacked: %1")
                                           .arg(QString::fromLocal8Bit(archive_error_string(writer.get()))));

    // The first ".app" entry of the listing must be the bundle itself.
    const QFileInfoList entries = QDir(stagingFolder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& found : entries) {
        if (found.suffix() != QLatin1String("app"))
            continue;
        if (found.fileName() != kBundleName || !found.isDir() || found.isSymLink())
            break;
        const QString bundle = found.absoluteFilePath();
        const QString problem = StagedBundle::findProblem(stagingFolder, bundle);
        if (!problem.isEmpty())
            failAndClean(stagingFolder, 2, problem);
        return bundle;
    }
    failAndClean(stagingFolder, -2, QStringLiteral("Valid Nimbrel.app not found inside update archive."));
}

QString sha256Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace UpdateArchive
