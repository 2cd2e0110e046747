#pragma once

#include <QString>

// Replaces the installed bundle with a staged one after this process has
// ended. The swap never loses the installed app: the new bundle is copied
// beside the old one, the two are swapped by renames, the old one is removed
// only after the swap, and whichever bundle stands at the end is started.
namespace UpdateInstaller {

// The running bundle: the nearest folder above `executablePath` whose name
// ends in ".app"; empty when there is none (a build tree, /usr/bin).
QString bundleOf(const QString& executablePath);

// The shell script; its arguments are the installed bundle, the staged bundle
// and the process id to wait for.
QString relaunchScript();

// Starts the script detached. Empty on success, else the reason.
QString spawnRelaunch(const QString& installedBundle, const QString& stagedBundle, qint64 waitForPid);

} // namespace UpdateInstaller
