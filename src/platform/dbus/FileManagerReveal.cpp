#include "platform/dbus/FileManagerReveal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cstdio>

namespace {

void openFolder(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QProcess::startDetached(QStringLiteral("xdg-open"), {folder}))
        std::printf("[Reveal] could not open %s\n", qPrintable(folder));
}

} // namespace

namespace FileManagerReveal {

void showItem(const QString& path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, path] {
        if (watcher->isError())
            openFolder(path);
        watcher->deleteLater();
    });
}

} // namespace FileManagerReveal
