#pragma once

#include <QString>

#include <cstdio>

// The view model's own diagnostic lines on standard output, flushed at once
// so that they interleave with the services' lines.
namespace ConsoleLine {

inline void print(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace ConsoleLine
