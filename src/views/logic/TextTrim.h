#pragma once

#include <QString>

// Trimming that keeps line breaks, for the places that must not eat them.
namespace TextTrim {

// Space separators and tabs only.
bool isSpaceOrTab(QChar c);
QString spacesAndTabs(const QString& text);

// The first non-empty line of a message, trimmed, and cut with an ellipsis
// past `maxCharacters`: a failure's reason where one line is all there is.
QString oneLine(const QString& message, int maxCharacters);

} // namespace TextTrim
