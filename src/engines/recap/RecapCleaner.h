#pragma once

#include <QString>

// Turns the language model's raw output into the stored Markdown recap by
// removing what is not recap: the echoed chat turn, chatter before the first
// header, the runner's closing log lines and template placeholders left in.
namespace RecapCleaner {

QString clean(const QString& output);

} // namespace RecapCleaner
