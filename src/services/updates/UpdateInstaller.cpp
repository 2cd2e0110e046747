#include "services/updates/UpdateInstaller.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace UpdateInstaller {

QString bundleOf(const QString& executablePath)
{
    QString folder = QFileInfo(executablePath).absolutePath();
    while (folder.size() > 1) {
        if (folder.endsWith(QLatin1String(".app")))
            return folder;
        folder.truncate(std::max<qsizetype>(folder.lastIndexOf(QLatin1Char('/')), 1));
    }
    return {};
}

QString relaunchScript()
{
    // Waits for the app to end (a minute at most), then swaps. Each step's
    // failure leaves the installed bundle where it was.
    return QStringLiteral(
        "target=\"$1\"; staged=\"$2\"; pid=\"$3\"; tries=0\n"
        // Gone, or ended and not yet reaped by its parent (state Z).
        "running() { state=$(sed 's/.*) //' \"/proc/$pid/stat\" 2>/dev/null | cut -c1); [ -n \"$state\" ] && [ \"$state\" != Z ]; }\n"
        "while running; do tries=$((tries + 1)); [ \"$tries\" -lt 600 ] || exit 1; sleep 0.1; done\n"
        "new=\"$target.new.$$\"; old=\"$target.old.$$\"\n"
        "rm -rf \"$new\"\n"
        "if cp -R -p \"$staged\" \"$new\" && mv \"$target\" \"$old\"; then\n"
        "  if mv \"$new\" \"$target\"; then rm -rf \"$old\"; else mv \"$old\" \"$target\"; rm -rf \"$new\"; fi\n"
        "else rm -rf \"$new\"; fi\n"
        "exec \"$target/bin/nimbrel\" </dev/null >/dev/null 2>&1");
}

QString spawnRelaunch(const QString& installedBundle, const QString& stagedBundle, qint64 waitForPid)
{
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), relaunchScript(), QStringLiteral("--"), installedBundle,
                          stagedBundle, QString::number(waitForPid)});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached())
        return process.errorString();
    return {};
}

} // namespace UpdateInstaller
