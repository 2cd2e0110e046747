#pragma once

#include <QString>

// Inline Markdown of outside text (a recap) to a Qt rich-text fragment:
// strong, emphasis, code, strikethrough and links take effect, line breaks
// become <br>, and block syntax (bullets, numbers, quotes, deeper headings)
// stays as written. Every character of the input reaches the output as text,
// HTML-escaped (carriage returns aside, which are dropped): raw HTML in the
// input is shown, never interpreted. Links
// become anchors only for http, https and mailto; others show their text.
// Unclosed markers stay as typed.
namespace InlineMarkdown {

QString toHtml(const QString& markdown);

} // namespace InlineMarkdown
