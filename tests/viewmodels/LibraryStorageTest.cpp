// What the library's storage reports reaches the status line: a save that
// fails (once, while the library stays as it is in memory) and what a load
// set aside or left alone.

#include "ViewModelFixture.h"

#include "models/IndexCodec.h"
#include "support/TestFiles.h"
#include "support/WithoutFilePrivileges.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/StatusLine.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

class LibraryStorage : public ViewModelFixture {
protected:
    QString appFolder() const { return QFileInfo(m_storage->metadataFile()).path(); }

    // Every status message the view model shows, in order.
    void recordMessages()
    {
        QObject::connect(&m_vm->status(), &StatusLine::exportMessageChanged, m_vm.get(), [this] {
            if (m_vm->status().exportMessage())
                m_messages.append(*m_vm->status().exportMessage());
        });
    }

    void renameAndWrite(const RecordingItem& item, const QString& title)
    {
        m_vm->library().renameRecording(item, title);
        ASSERT_TRUE(m_storage->waitForSaves());
        settle(); // the write's report is queued to the view model
    }

    QStringList m_messages;
};

} // namespace

TEST_F(LibraryStorage, AFailingSaveIsShownOnceAndTheLibraryStaysInMemory)
{
    // The storage's writer thread starts under an ordinary user's permissions.
    WithoutFilePrivileges user;
    m_storage = std::make_unique<RecordingsStorage>(m_dir.filePath(QStringLiteral("support")),
                                                    m_dir.filePath(QStringLiteral("Downloads")));
    const RecordingItem first = makeRecording(QStringLiteral("First"), 10);
    const RecordingItem second = makeRecording(QStringLiteral("Second"), 20);
    seedLibrary({first, second});
    m_statusClearDelay = std::chrono::milliseconds(20);
    makeViewModel();
    ASSERT_TRUE(m_storage->waitForSaves()); // the load's own save
    settle();
    recordMessages();
    const QString failure = QStringLiteral("Could not save the library: Permission denied");

    ::chmod(QFile::encodeName(appFolder()), 0555);
    renameAndWrite(first, QStringLiteral("Board meeting"));
    ASSERT_TRUE(waitFor([&] { return !m_vm->status().exportMessage(); }));
    renameAndWrite(second, QStringLiteral("Standup"));
    renameAndWrite(first, QStringLiteral("Board meeting, again"));
    EXPECT_EQ(m_messages, QStringList{failure});
    EXPECT_EQ(m_vm->library().recordings().at(0).title, QStringLiteral("Board meeting, again"));
    EXPECT_EQ(m_vm->library().recordings().at(1).title, QStringLiteral("Standup"));
    EXPECT_EQ(savedLibrary().at(0).title, QStringLiteral("First")) << "the previous index stays";

    // Writable again by the time the app quits: what is in memory is written then.
    ::chmod(QFile::encodeName(appFolder()), 0755);
    ASSERT_TRUE(m_vm->library().waitForLibrarySaves(std::chrono::seconds(10)));
    EXPECT_EQ(savedLibrary(), m_vm->library().recordings());
    EXPECT_EQ(savedLibrary().at(0).title, QStringLiteral("Board meeting, again"));
    settle();
    renameAndWrite(second, QStringLiteral("Standup notes"));
    EXPECT_EQ(savedLibrary(), m_vm->library().recordings());

    // A later failure, after one that succeeded, is shown again.
    ::chmod(QFile::encodeName(appFolder()), 0555);
    renameAndWrite(second, QStringLiteral("Standup, last"));
    ::chmod(QFile::encodeName(appFolder()), 0755);
    EXPECT_EQ(m_messages, (QStringList{failure, failure}));
}

TEST_F(LibraryStorage, ARecordSetAsideAtLoadIsSaidOnTheStatusLine)
{
    const RecordingItem kept = makeRecording(QStringLiteral("Kept"), 10);
    seedLibrary({kept});
    QByteArray index = TestFiles::readFile(m_storage->metadataFile());
    index.insert(index.size() - 1, R"(,{"id":"not an id"})");
    TestFiles::writeFile(m_storage->metadataFile(), index);

    makeViewModel();
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Kept"));
    const QStringList aside = QDir(appFolder()).entryList({QStringLiteral("recordings.json.corrupt-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(m_vm->status().exportMessage(),
              QStringLiteral("1 recording in the library cannot be read; it was kept in ") + aside.first());
}

TEST_F(LibraryStorage, AFolderThatCannotBeReadLeavesTheIndexAndIsSaid)
{
    const RecordingItem first = makeRecording(QStringLiteral("First"), 10);
    const RecordingItem second = makeRecording(QStringLiteral("Second"), 20);
    seedLibrary({first, second});
    const QByteArray index = TestFiles::readFile(m_storage->metadataFile());
    // The disk that held the recordings is not there.
    const QString folder = m_storage->storageDirectory();
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(".away")));

    makeViewModel();
    EXPECT_EQ(m_vm->status().exportMessage(),
              QStringLiteral("The recordings folder cannot be read: No such file or directory"));
    EXPECT_EQ(m_vm->library().recordings(), (QList<RecordingItem>{first, second}));
    ASSERT_TRUE(m_storage->waitForSaves());
    EXPECT_EQ(TestFiles::readFile(m_storage->metadataFile()), index);
    EXPECT_FALSE(QFileInfo::exists(folder));
}
