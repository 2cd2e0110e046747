#pragma once

#include <QString>

// Lengths as a reader counts them: one per grapheme cluster, so an emoji with
// its modifiers or a letter with a combining accent counts once.
namespace UserCharacters {

qsizetype count(const QString& text);
// The first `n` user-perceived characters of `text`.
QString left(const QString& text, qsizetype n);

} // namespace UserCharacters
