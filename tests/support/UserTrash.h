#pragma once

#include <QString>

// The freedesktop trash of the test's own home ($XDG_DATA_HOME/Trash).
namespace UserTrash {

QString folder();
// The file in the trash that was at `originalPath`, found through the
// ".trashinfo" that records that path; empty when there is none.
QString trashedCopyOf(const QString& originalPath);

} // namespace UserTrash
