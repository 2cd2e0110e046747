#include "ZipFixture.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <sys/stat.h>

namespace ZipFixture {

QByteArray program()
{
    QFile file(QStringLiteral("/bin/true"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray make(const QList<Entry>& entries)
{
    QByteArray bytes(8 * 1024 * 1024, '\0');
    size_t used = 0;
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    archive_write_open_memory(writer, bytes.data(), bytes.size(), &used);
    for (const Entry& item : entries) {
        archive_entry* entry = archive_entry_new();
        const QByteArray path = item.path.toUtf8();
        archive_entry_set_pathname(entry, path.constData());
        switch (item.type) {
        case Entry::File:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, item.perm);
            archive_entry_set_size(entry, item.content.size());
            break;
        case Entry::Folder:
            archive_entry_set_filetype(entry, AE_IFDIR);
            archive_entry_set_perm(entry, item.perm);
            break;
        case Entry::Link:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_perm(entry, 0777);
            archive_entry_set_symlink(entry, item.content.constData());
            break;
        }
        archive_write_header(writer, entry);
        if (item.type == Entry::File)
            archive_write_data(writer, item.content.constData(), item.content.size());
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    bytes.truncate(static_cast<qsizetype>(used));
    return bytes;
}

QList<Entry> bundle(const QString& bundleName, const QByteArray& marker)
{
    return {
        {Entry::Folder, bundleName + QStringLiteral("/"), {}},
        {Entry::Folder, bundleName + QStringLiteral("/bin/"), {}},
        {Entry::File, bundleName + QStringLiteral("/bin/nimbrel"), program() + marker},
    };
}

} // namespace ZipFixture
