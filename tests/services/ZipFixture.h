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
};

QByteArray make(const QList<Entry>& entries);

// A bundle whose bin/nimbrel is a shell script that writes `marker` to the
// file named by $NIMBREL_TEST_MARKER.
QList<ZipFixture::Entry> bundle(const QString& bundleName, const QByteArray& marker);

} // namespace ZipFixture
