#pragma once

#include <QtGlobal>

// Bounds on what an update server may make this app fetch, keep and unpack,
// each well above what a real update needs. Tests use smaller ones.
struct UpdateLimits {
    qint64 feedBytes = qint64(1) << 20;
    // Release notes beyond this many characters are cut before anyone shows them.
    qsizetype releaseNotesChars = 64 * 1024;
    qint64 archiveBytes = qint64(1) << 30;
    qint64 unpackedBytes = qint64(2) << 30;
    // Whole transfers, however steadily a slow server trickles.
    int feedDeadlineMs = 30 * 1000;
    int archiveDeadlineMs = 10 * 60 * 1000;
};
