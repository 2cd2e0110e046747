#pragma once

#include <QString>

namespace FileUtils {

// Moves `from` to `to` without ever replacing a file at `to`. Returns an empty
// string on success, else the reason (an existing destination gives EEXIST's text).
QString moveWithoutReplacing(const QString& from, const QString& to);

// Puts `from` in the place of `to` with one rename: `to` is never missing or
// partial, and on failure both files stay as they were. Returns an empty
// string on success, else the reason.
QString replaceAtomically(const QString& from, const QString& to);

// True when the last failed move failed only because the destination exists.
bool destinationExists(const QString& reason);

// `stem + extension` in `folder`, or the first of `stem (1)`, `stem (2)`, ...
// with nothing at its path. Returns the bare name.
QString freeFileName(const QString& folder, const QString& stem, const QString& extension);

// Size of a file in bytes, or -1 when it cannot be read.
qint64 fileSize(const QString& path);

} // namespace FileUtils
