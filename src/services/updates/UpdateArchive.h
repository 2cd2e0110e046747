#pragma once

#include <QString>

// Unpacks a downloaded update archive (a zip holding "Nimbrel.app/") into the
// staging folder. Every entry is checked before anything is written: no
// absolute path, no ".." step, no link that leads out of the staging folder,
// only files, folders and links. On any failure the staging folder is left
// empty. Throws `Error` with the domain "UpdateManager" whose message names
// the reason.
namespace UpdateArchive {

// The reason the archive may not be unpacked, or empty when every entry is
// safe; then `declaredBytes` gets the size its entries announce.
QString findUnsafeEntry(const QString& archivePath, qint64* declaredBytes = nullptr);

// Empties `stagingFolder`, unpacks into it (at most `maxUnpackedBytes`, and
// no more than the disk has free), checks the staged bundle and returns the
// path of the staged bundle "Nimbrel.app".
QString stage(const QString& archivePath, const QString& stagingFolder, qint64 maxUnpackedBytes);

// Hex SHA-256 of a file, lower case; empty when it cannot be read.
QString sha256Of(const QString& path);

} // namespace UpdateArchive
