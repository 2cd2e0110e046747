#pragma once

#include <QString>

namespace MeetingLog {

// Prints "[MeetingDetector] " and the line to standard output. Window titles
// come from other programs: control characters are shown escaped, so a title
// cannot drive the terminal.
void print(const QString& line);

// The text with control characters as \n, \t or \u{XX}.
QString printable(const QString& text);

} // namespace MeetingLog
