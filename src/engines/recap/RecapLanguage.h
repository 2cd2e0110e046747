#pragma once

#include <QString>

// Picks the language of a recap from its transcript.
namespace RecapLanguage {

// True when the transcript reads as Italian: CLD2's answer when it is sure of
// one, otherwise a count of common Italian words near the start.
bool isItalian(const QString& text);

} // namespace RecapLanguage
