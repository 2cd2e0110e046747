#pragma once

#include <QString>

// Replaces the installed bundle with a staged one after this process has
// ended. The swap never loses the installed app: the new bundle is copied
// beside the old one, the two are swapped by renames, and the old one is
// removed only once the new one has shown that it runs. If it does not, the
// old one is put back and started, and the reason is left for it to report.
namespace UpdateInstaller {

// Files the relaunch script and the next start share in the state folder.
inline const QString kLaunchingMarker = QStringLiteral("Launching"); // removed by a started app
inline const QString kFailureReport = QStringLiteral("InstallFailed"); // why the last install failed
inline const QString kPendingInstall = QStringLiteral("InstallPending"); // the version being installed

// How long the script waits for the new bundle to remove the marker.
constexpr int kStartWaitSeconds = 30;

// The running bundle: the folder named exactly "Nimbrel.app" that holds the
// executable as bin/nimbrel; empty for anything else (a build tree, /usr/bin,
// a folder that merely ends in ".app").
QString bundleOf(const QString& executablePath);

// The shell script; its arguments are the installed bundle, the staged
// bundle, the process id to wait for and the state folder.
QString relaunchScript();

// Starts the script detached. Empty on success, else the reason.
QString spawnRelaunch(const QString& installedBundle, const QString& stagedBundle, qint64 waitForPid,
                      const QString& stateFolder);

} // namespace UpdateInstaller
