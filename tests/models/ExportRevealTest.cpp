// Export reveals the copy through org.freedesktop.FileManager1 on the session
// bus that scripts/test starts; a fake file manager answers here.
#include "models/RecordingsStorage.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using TestFiles::writeFile;

namespace {

class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startupId) { shown += uris; }
};

RecordingItem itemFor(RecordingsStorage& storage)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = QStringLiteral("Weekly sync");
    item.fileName = QStringLiteral("Weekly sync_1700000000.mp3");
    writeFile(storage.fileURL(item), "audio");
    return item;
}

} // namespace

TEST(ExportReveal, TheFileManagerIsAskedToShowTheCopy)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "scripts/test starts the session bus";
    QDBusConnection fakeBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-fm"));
    ASSERT_TRUE(fakeBus.isConnected());
    FakeFileManager fake;
    ASSERT_TRUE(fakeBus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fake,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(fakeBus.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage(support.path(), downloads.path());
    const QString copy = storage.exportToDownloads(itemFor(storage), false);
    // The reveal is posted to the event loop, after the export has returned.
    EXPECT_TRUE(fake.shown.isEmpty());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !fake.shown.isEmpty(); }));
    EXPECT_EQ(fake.shown, QStringList{QUrl::fromLocalFile(copy).toString()});

    fakeBus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    fakeBus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-fm"));
}

TEST(ExportReveal, WithoutAFileManagerTheFolderIsOpened)
{
    // A stand-in xdg-open first on PATH records what it was asked to open.
    QTemporaryDir tools;
    const QString log = QDir(tools.path()).filePath(QStringLiteral("opened.txt"));
    const QString script = QDir(tools.path()).filePath(QStringLiteral("xdg-open"));
    writeFile(script, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" > '%1'\n").arg(log).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);

    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage(support.path(), downloads.path());
    storage.exportToDownloads(itemFor(storage), false);
    const bool opened = TestEnvironment::waitUntil([&] { return QFile::exists(log); }, 10000);
    qputenv("PATH", path);
    ASSERT_TRUE(opened);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).trimmed(), QDir(downloads.path()).absolutePath());
}

#include "ExportRevealTest.moc"
