#pragma once

#include <QString>

// Whether a file of the recordings folder can be read at all, told apart from
// whether it holds audio: a file the app cannot open (no permission, a disk
// error, a FIFO in a recording's place) is never taken for one that is not
// audio, so it is never removed as such.
namespace FileReadCheck {

enum class Extent {
    start,     // the open and the first block
    wholeFile, // every byte
};

// Empty when the file is a regular file that reads to the given extent; else
// why not. Never waits on a FIFO or device.
QString problem(const QString& path, Extent extent = Extent::start);

} // namespace FileReadCheck
