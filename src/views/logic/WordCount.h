#pragma once

#include <QString>

// Words are the runs between characters with the Unicode White_Space property
// (spaces of every width, tabs, line and paragraph breaks); a blank text has none.
namespace WordCount {

qsizetype count(const QString& text);

} // namespace WordCount
