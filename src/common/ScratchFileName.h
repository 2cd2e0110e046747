#pragma once

#include <QString>

// Names of the files an edit writes beside the recordings before its result
// is complete: hidden (a leading dot), so the library never adopts one as a
// recording, and in a form the start-up clean-up recognises as ours.
class ScratchFileName {
public:
    ScratchFileName() = delete;

    enum class Kind { merge, trim, enhancement };

    // ".<kind>_temp_<UUID>.mp3", a fresh UUID each time.
    static QString make(Kind kind);
    // True only for names `make` gives (any kind).
    static bool isScratch(const QString& name);
    // Milliseconds since 1970 when this process started: scratch files older
    // than that were left by a run that ended.
    static qint64 runStartedMSecs();
};
