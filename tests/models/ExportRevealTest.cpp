// Export reveals the copy through the reveal the app installs:
// org.freedesktop.FileManager1 on the session bus that scripts/test starts,
// where a fake file manager answers.
#include "models/FileReveal.h"
#include "models/RecordingsStorage.h"
#include "platform/dbus/FileManagerReveal.h"
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

class ExportReveal : public testing::Test {
protected:
    void SetUp() override { FileReveal::install(&FileManagerReveal::showItem, &FileManagerReveal::showFolder); }
    void TearDown() override { FileReveal::install({}, {}); }
};

} // namespace

TEST_F(ExportReveal, TheFileManagerIsAskedToShowTheCopy)
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

TEST_F(ExportReveal, WithoutAFileManagerTheFolderIsOpened)
{
    const StandInOpener opener;
    QTemporaryDir support;
    QTemporaryDir downloads;
    RecordingsStorage storage(support.path(), downloads.path());
    storage.exportToDownloads(itemFor(storage), false);
    EXPECT_EQ(opener.waitForOpened(), QDir(downloads.path()).absolutePath());
}
