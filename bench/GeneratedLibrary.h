#pragma once

#include "models/RecordingItem.h"

#include <QList>

// A library of made-up recordings for the benchmarks: distinct titles, file
// names and dates an hour apart, random waveforms and transcripts of everyday
// words. The same shape always gives the same library, but for the ids.
struct LibraryShape {
    int recordings = 1000;
    int segments = 150; // transcript segments per recording
    int bars = 120;     // waveform values per recording
    double shortestSeconds = 60; // durations are spread evenly between these
    double longestSeconds = 3660;
    bool transcriptText = true; // the whole transcript beside its segments, as a transcription leaves it
};

QList<RecordingItem> generatedLibrary(const LibraryShape& shape);
