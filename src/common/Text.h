#pragma once

#include <QString>

#include <limits>
#include <optional>

// Small text rules shared by every layer: one notion of blank, lengths as a
// reader counts them, hex digits.
namespace Text {

// `text` without the tabs and space separators (U+0020, U+00A0, U+2003 ...)
// at its start and end; line breaks are kept.
QString trimSpacesAndTabs(const QString& text);

// A title the user typed: trimmed of spaces and tabs; none when nothing is left.
std::optional<QString> typedTitle(const QString& typed);

// The first non-empty line of a message, trimmed, and cut with an ellipsis
// past `maxCharacters`: a failure's reason where one line is all there is.
QString firstLine(const QString& message, int maxCharacters);

// Characters as a reader counts them: one per grapheme cluster, so an emoji
// with its modifiers or a letter with a combining accent counts once.
qsizetype characterCount(const QString& text);
// The first `count` characters of `text`, fewer where the next one would take
// its UTF-8 form past `maxUtf8Bytes`; a cluster is never split.
QString leftCharacters(const QString& text, qsizetype count,
                       qsizetype maxUtf8Bytes = std::numeric_limits<qsizetype>::max());

// 0-15 for a hex digit in either case, -1 for anything else.
int hexDigitValue(char c);

} // namespace Text
