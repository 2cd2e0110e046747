// Opening a folder in the file manager: org.freedesktop.FileManager1 on the
// session bus that scripts/test starts, else xdg-open on the folder itself.
#include "platform/dbus/FileManagerReveal.h"
#include "support/FakeFileManager.h"
#include "support/StandInOpener.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

TEST(FileManagerReveal, TheFileManagerIsAskedToShowTheFolder)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "scripts/test starts the session bus";
    FakeFileManager fake;
    ASSERT_TRUE(fake.isRegistered());

    QTemporaryDir folder;
    FileManagerReveal::showFolder(folder.path());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !fake.shownFolders.isEmpty(); }));
    EXPECT_EQ(fake.shownFolders, QStringList{QUrl::fromLocalFile(QDir(folder.path()).absolutePath()).toString()});
    EXPECT_TRUE(fake.shownItems.isEmpty());
}

TEST(FileManagerReveal, WithoutAFileManagerTheFolderItselfIsOpened)
{
    const StandInOpener opener;
    QTemporaryDir folder;
    FileManagerReveal::showFolder(folder.path());
    // The folder, not the one that holds it.
    EXPECT_EQ(opener.waitForOpened(), QDir(folder.path()).absolutePath());
}
