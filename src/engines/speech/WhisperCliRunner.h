#pragma once

#include "common/ProcessRunner.h"
#include "engines/speech/Transcription.h"

#include <QString>

// The outside transcriber "whisper-cli": where it is found, how it is called
// and how its answer is read.
class WhisperCliRunner {
public:
    // The first executable "whisper-cli" in "bin" beside our own executable (an
    // installed copy), in the bundled tools' prefix ($NIMBREL_DEPS_DIR/whisper/bin),
    // then on PATH; never in the current folder. Looked up anew on each call.
    static QString locateWhisperExecutable();

    // The child's program, eleven arguments (the last asks for progress lines) and environment (this process's, with
    // GGML_BACKEND_PATH set to the tool's folder + "libexec" and the tool's
    // folder put first in LD_LIBRARY_PATH). The tool writes `outputBase` + ".json".
    static ProcessRunner::Command command(const QString& executable, const QString& modelPath,
                                          const QString& audioPath, const QString& language,
                                          const QString& outputBase);

    // Runs the tool on the calling thread and reads its JSON file, which lives
    // in our private temporary folder and is removed whatever happens.
    // `onProgress` gets the tool's figure, 0 ... 100, each time it changes. Throws
    // `Error` ("WhisperEngine", the exit status or -1), the runner's error when
    // the tool cannot start, or `CancelledError`.
    static Transcription transcribe(const QString& executable, const QString& modelPath, const QString& audioPath,
                                    const QString& language, const ProcessRunner::CancelCheck& isCancelled = {},
                                    const std::function<void(int percent)>& onProgress = {});
};
