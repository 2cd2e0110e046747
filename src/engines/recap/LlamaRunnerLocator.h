#pragma once

#include <QString>
#include <QStringList>

// Finds the language-model runner: our own builds first, then PATH. Never the
// current folder, where anyone could drop a program of that name.
namespace LlamaRunnerLocator {

// Runner names, preferred first; every folder is searched for the first name
// before any folder is searched for the next.
const QStringList& names();

// Path of the runner to use, or an empty string. Our own folders come before
// PATH: bin/ beside our executable, then the deps prefix's llama/bin
// ($NIMBREL_DEPS_DIR, else the prefix the build used).
QString locate();

} // namespace LlamaRunnerLocator
