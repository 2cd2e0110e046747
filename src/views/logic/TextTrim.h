#pragma once

#include <QString>

// Trimming that keeps line breaks, for the places that must not eat them.
namespace TextTrim {

// Space separators and tabs only.
bool isSpaceOrTab(QChar c);
QString spacesAndTabs(const QString& text);

} // namespace TextTrim
