#pragma once

#include <QString>

// Trimming that keeps line breaks: a transcript segment or a recap line loses
// only the spaces and tabs at its ends.
namespace SpacesAndTabs {

// `text` without the spaces and tabs at its start and end.
QString trimmed(const QString& text);

} // namespace SpacesAndTabs
