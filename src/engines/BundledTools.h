#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Where the outside tools (whisper-cli, llama-completion) are looked for, and
// the environment they run with; shared by the speech and recap engines.
namespace BundledTools {

// Our executable's own folder and the `bin/` beside it (an installed copy), then the prefix the build
// put the tools in (`$NIMBREL_DEPS_DIR/<tool>/bin`). PATH comes after these.
QStringList folders(const QString& tool);

// The tool's folder first on LD_LIBRARY_PATH, and OpenMP threads that sleep
// instead of spinning while they wait: a transcription or recap in the
// background must not hold cores a recording needs.
void prepareEnvironment(QProcessEnvironment& environment, const QString& executable);

} // namespace BundledTools
