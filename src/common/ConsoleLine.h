#pragma once

#include <QString>

#include <cstdio>

// Diagnostic lines on standard output, in UTF-8 and flushed at once so that
// the lines of the app's threads and services interleave in order.
namespace ConsoleLine {

// Text from outside with its control characters written as \xNN, so that
// no escape sequence reaches a terminal and no line is split.
inline QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 0x20 || code == 0x7f || (code >= 0x80 && code <= 0x9f))
            out += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

inline void print(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// A line for the user who started the app from a terminal, on standard error.
inline void printError(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

} // namespace ConsoleLine
