// Export reveals the copy through org.freedesktop.FileManager1 on the session
// bus that scripts/test starts; a fake file manager answers here.
#include "models/RecordingsStorage.h"
#include "support/FakeFileManager.h"
#include "support/StandInOpener.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using TestFiles::writeFile;

namespace {

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
    FakeFileManager fake;
    ASSERT_TRUE(fake.isRegistered());

    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage(support.path(), downloads.path());
    const QString copy = storage.exportToDownloads(itemFor(storage), false);
    // The reveal is posted to the event loop, after the export has returned.
    EXPECT_TRUE(fake.shownItems.isEmpty());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !fake.shownItems.isEmpty(); }));
    EXPECT_EQ(fake.shownItems, QStringList{QUrl::fromLocalFile(copy).toString()});
}

TEST(ExportReveal, WithoutAFileManagerTheFolderIsOpened)
{
    const StandInOpener opener;
    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage(support.path(), downloads.path());
    storage.exportToDownloads(itemFor(storage), false);
    EXPECT_EQ(opener.waitForOpened(), QDir(downloads.path()).absolutePath());
}
