#pragma once

#include <QString>
#include <QStringList>

// Finds the language-model runner: our own builds first, then PATH. Never the
// current folder, where anyone could drop a program of that name.
namespace LlamaRunnerLocator {

// Runner names, preferred first; every folder is searched for the first name
// before any folder is searched for the next.
const QStringList& names();

// Our own folders, searched before PATH: the deps prefix's llama/bin
// ($NIMBREL_DEPS_DIR, else the prefix the build used) and bin/ beside our
// executable.
QStringList ownFolders();

// Path of the runner to use, or an empty string.
QString locate();

} // namespace LlamaRunnerLocator
