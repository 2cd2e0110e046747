#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writes small zip archives for the update tests, hostile ones included.
namespace ZipFixture {

struct Entry {
    enum Type { File, Folder, Link } type = File;
    QString path;
    QByteArray content; // a file's bytes, or a link's target
    int perm = 0755; // files and folders
};

QByteArray make(const QList<Entry>& entries);

// The bytes of a program this machine runs.
QByteArray program();

// A bundle whose bin/nimbrel is a program of this machine (a copy of
// /bin/true) with `marker` after its end.
QList<ZipFixture::Entry> bundle(const QString& bundleName, const QByteArray& marker);

} // namespace ZipFixture
