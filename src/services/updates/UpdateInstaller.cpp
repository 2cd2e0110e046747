#include "services/updates/UpdateInstaller.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace UpdateInstaller {

QString bundleOf(const QString& executablePath)
{
    const QFileInfo executable(executablePath);
    const QFileInfo bin(executable.absolutePath());
    const QFileInfo bundle(bin.absolutePath());
    if (executable.fileName() != QLatin1String("nimbrel") || bin.fileName() != QLatin1String("bin")
        || bundle.fileName() != QLatin1String("Nimbrel.app"))
        return {};
    return bundle.absoluteFilePath();
}

QString relaunchScript()
{
    // Waits for the app to end (a minute at most), then swaps. Every failure
    // puts the installed bundle back, says why in the state folder and starts
    // whichever bundle stands.
    return QStringLiteral(
        "target=\"$1\"; staged=\"$2\"; pid=\"$3\"; state=\"$4\"; tries=0\n"
        // Gone, or ended and not yet reaped by its parent (state Z).
        "running() { s=$(sed 's/.*) //' \"/proc/$1/stat\" 2>/dev/null | cut -c1); [ -n \"$s\" ] && [ \"$s\" != Z ]; }\n"
        "start() { exec \"$target/bin/nimbrel\" </dev/null >/dev/null 2>&1; }\n"
        "fail() { printf '%s' \"$1\" > \"$state/%1\"; rm -rf \"$new\"; start; }\n"
        "while running \"$pid\"; do tries=$((tries + 1)); [ \"$tries\" -lt 600 ] || exit 1; sleep 0.1; done\n"
        "new=\"$target.new.$$\"; old=\"$target.old.$$\"; failed=\"$target.failed.$$\"\n"
        "rm -rf \"$new\" \"$state/%1\" \"$state/%2\"\n"
        "err=$(cp -R -p \"$staged\" \"$new\" 2>&1) || fail \"the new version could not be copied: $err\"\n"
        "[ -f \"$new/bin/nimbrel\" ] && [ -x \"$new/bin/nimbrel\" ] || fail \"the copy of the new version has no program to start\"\n"
        "err=$(mv \"$target\" \"$old\" 2>&1) || fail \"the installed version could not be moved aside: $err\"\n"
        "if ! err=$(mv \"$new\" \"$target\" 2>&1); then mv \"$old\" \"$target\"; fail \"the new version could not be moved into place: $err\"; fi\n"
        // The old bundle stays until the new one removes the marker.
        ": > \"$state/%2\"\n"
        "\"$target/bin/nimbrel\" </dev/null >/dev/null 2>&1 &\n"
        "child=$!; tries=0\n"
        "while [ -e \"$state/%2\" ] && running \"$child\" && [ \"$tries\" -lt %3 ]; do tries=$((tries + 1)); sleep 0.1; done\n"
        "if [ -e \"$state/%2\" ]; then\n"
        "  kill \"$child\" 2>/dev/null; sleep 0.5; kill -9 \"$child\" 2>/dev/null; rm -f \"$state/%2\"\n"
        "  mv \"$target\" \"$failed\" && mv \"$old\" \"$target\"; rm -rf \"$failed\"\n"
        "  fail \"the new version did not start\"\n"
        "fi\n"
        "rm -rf \"$old\"")
        .arg(kFailureReport, kLaunchingMarker)
        .arg(kStartWaitSeconds * 10);
}

QString spawnRelaunch(const QString& installedBundle, const QString& stagedBundle, qint64 waitForPid,
                      const QString& stateFolder)
{
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), relaunchScript(), QStringLiteral("--"), installedBundle,
                          stagedBundle, QString::number(waitForPid), stateFolder});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached())
        return process.errorString();
    return {};
}

} // namespace UpdateInstaller
