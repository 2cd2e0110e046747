#pragma once

#include <QString>
#include <QUrl>

class QFileSystemWatcher;

// Where the engines keep their model files and where they download them from.
namespace ModelLocations {

// "Nimbrel/Models" in the user's data folder, created when needed; the
// earlier versions' "CorvelleEnhanced/Models" instead while only that exists
// (it is then neither created nor moved).
QString modelsDirectory();

// `path` on the model host. The host is https://huggingface.co unless the
// environment variable NIMBREL_MODEL_HOST names another base URL (tests
// point it at a loopback server).
QUrl hostUrl(const QString& path);

// Points `watcher` at `folder` alone. The folder in use changes when the
// new one replaces an earlier version's.
void watchOnly(QFileSystemWatcher& watcher, const QString& folder);

} // namespace ModelLocations
