#pragma once

#include <QByteArray>
#include <QList>

// One delivery of captured audio as a capture stream hands it over, in
// whatever layout the source uses. The conversion to the common format
// (44,100 Hz interleaved stereo 16-bit) reads it.
struct CapturedBuffer {
    double sampleRate = 0;
    bool isFloat = false;          // 32-bit floats in -1 ... 1; otherwise signed 16-bit
    bool isNonInterleaved = false; // channels one after another within a buffer
    int channelsPerFrame = 0;
    int frameCount = 0;
    // One buffer for interleaved data (or planar data in one block), or one
    // buffer per channel. An empty QByteArray is a buffer without data.
    QList<QByteArray> buffers;
};
