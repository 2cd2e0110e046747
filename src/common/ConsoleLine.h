#pragma once

#include <QString>

#include <cstdio>

// Diagnostic lines on standard output, in UTF-8 and flushed at once so that
// the lines of the app's threads and services interleave in order.
namespace ConsoleLine {

inline void print(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace ConsoleLine
