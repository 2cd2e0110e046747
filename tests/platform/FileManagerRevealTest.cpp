// Opening a folder in the file manager: org.freedesktop.FileManager1 on the
// session bus that scripts/test starts, else xdg-open on the folder itself.
#include "platform/dbus/FileManagerReveal.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList folders;
public Q_SLOTS:
    void ShowFolders(const QStringList& uris, const QString& startupId) { folders += uris; }
};

} // namespace

TEST(FileManagerReveal, TheFileManagerIsAskedToShowTheFolder)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "scripts/test starts the session bus";
    QDBusConnection fakeBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-fm"));
    ASSERT_TRUE(fakeBus.isConnected());
    FakeFileManager fake;
    ASSERT_TRUE(fakeBus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fake,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(fakeBus.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    QTemporaryDir folder;
    FileManagerReveal::showFolder(folder.path());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !fake.folders.isEmpty(); }));
    EXPECT_EQ(fake.folders, QStringList{QUrl::fromLocalFile(QDir(folder.path()).absolutePath()).toString()});

    fakeBus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    fakeBus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-fm"));
}

TEST(FileManagerReveal, WithoutAFileManagerTheFolderItselfIsOpened)
{
    // A stand-in xdg-open first on PATH records what it was asked to open.
    QTemporaryDir tools;
    const QString log = QDir(tools.path()).filePath(QStringLiteral("opened.txt"));
    const QString script = QDir(tools.path()).filePath(QStringLiteral("xdg-open"));
    TestFiles::writeFile(script, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" > '%1'\n").arg(log).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);

    QTemporaryDir folder;
    FileManagerReveal::showFolder(folder.path());
    const bool opened = TestEnvironment::waitUntil([&] { return QFile::exists(log); }, 10000);
    qputenv("PATH", path);
    ASSERT_TRUE(opened);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The folder, not the one that holds it.
    EXPECT_EQ(QString::fromUtf8(file.readAll()).trimmed(), QDir(folder.path()).absolutePath());
}

#include "FileManagerRevealTest.moc"
