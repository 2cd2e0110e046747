#include "platform/dbus/FileManagerReveal.h"

#include "common/ConsoleLine.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

void openFolder(const QString& folder)
{
    if (!QProcess::startDetached(QStringLiteral("xdg-open"), {folder}))
        ConsoleLine::print(QStringLiteral("[Reveal] could not open ") + folder);
}

// Asks the file manager to `method` (ShowItems, ShowFolders) the path, and
// opens `fallbackFolder` when none answers.
void askFileManager(const QString& method, const QString& path, const QString& fallbackFolder)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(fallbackFolder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), method);
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, fallbackFolder] {
        if (watcher->isError())
            openFolder(fallbackFolder);
        watcher->deleteLater();
    });
}

} // namespace

namespace FileManagerReveal {

void showItem(const QString& path)
{
    askFileManager(QStringLiteral("ShowItems"), path, QFileInfo(path).absolutePath());
}

void showFolder(const QString& path)
{
    askFileManager(QStringLiteral("ShowFolders"), path, QFileInfo(path).absoluteFilePath());
}

} // namespace FileManagerReveal
