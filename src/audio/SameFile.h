#pragma once

#include <QString>

// True when both paths lead to one existing file: the same canonical path, or
// the same inode through a hard link. A path with no file behind it never
// matches, so a new destination is always distinct.
bool isSameFile(const QString& first, const QString& second);
