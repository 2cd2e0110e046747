// The library arrives from a worker after construction: until then the list
// is empty and nothing may be saved over the index, yet recording works, and
// what is recorded meanwhile joins the whole library.

#include "ViewModelFixture.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"

#include <QFileInfo>
#include <QSemaphore>

#include <algorithm>

namespace {

QList<QUuid> idsOf(const QList<RecordingItem>& items)
{
    QList<QUuid> ids;
    for (const RecordingItem& item : items)
        ids.append(item.id);
    return ids;
}

// A capture this large is one a load takes back when it is not this run's own.
constexpr qint64 captureBytes = 20000;

class LibraryArrival : public ViewModelFixture {
protected:
    void SetUp() override
    {
        ViewModelFixture::SetUp();
        m_older = makeRecording(QStringLiteral("New Recording 1"), 20);
        m_newer = makeRecording(QStringLiteral("Standup"), 10);
        seedLibrary({m_newer, m_older});
        // The load waits until the test lets it go.
        m_awaitLibrary = false;
        m_beforeLibraryLoad = [gate = m_gate] { gate->acquire(); };
    }
    void TearDown() override
    {
        releaseLoad(); // the view model waits for its load when it goes
        ViewModelFixture::TearDown();
    }
    void releaseLoad()
    {
        if (!m_released)
            m_gate->release();
        m_released = true;
    }

    std::shared_ptr<QSemaphore> m_gate = std::make_shared<QSemaphore>();
    bool m_released = false;
    RecordingItem m_older;
    RecordingItem m_newer;
};

TEST_F(LibraryArrival, ARecordingStoppedBeforeTheLibraryArrivesJoinsIt)
{
    makeViewModel();
    EXPECT_FALSE(m_vm->library().isLibraryLoaded());
    EXPECT_TRUE(m_vm->library().recordings().isEmpty());
    // A stale copy of an entry changes nothing before the load.
    m_vm->library().deleteRecording(m_newer);
    EXPECT_TRUE(QFileInfo::exists(audioPath(m_newer)));

    startRecording();
    stopRecording(3.0, captureBytes);
    const QString capture = m_recorder->startedPath;
    EXPECT_TRUE(m_vm->library().recordings().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(capture)) << "filed only into the whole library";
    EXPECT_EQ(idsOf(savedLibrary()), (QList<QUuid>{m_newer.id, m_older.id}));

    releaseLoad();
    ASSERT_TRUE(waitFor([&] { return m_vm->library().isLibraryLoaded(); }));
    const QList<RecordingItem>& recordings = m_vm->library().recordings();
    ASSERT_EQ(recordings.size(), 3);
    const RecordingItem filed = recordings.first();
    // Numbered among the library's titles, not the empty list's.
    EXPECT_EQ(filed.title, QStringLiteral("New Recording 2"));
    EXPECT_TRUE(filed.fileName.startsWith(QStringLiteral("New Recording 2_"))) << filed.fileName.toStdString();
    EXPECT_TRUE(QFileInfo::exists(audioPath(filed)));
    EXPECT_FALSE(QFileInfo::exists(capture));
    EXPECT_EQ(m_vm->library().selectedRecording()->id, filed.id);
    EXPECT_EQ(idsOf(recordings), (QList<QUuid>{filed.id, m_newer.id, m_older.id}));
    EXPECT_EQ(idsOf(savedLibrary()), idsOf(recordings));
}

TEST_F(LibraryArrival, ALibraryArrivingDuringARecordingLeavesTheSelectionToIt)
{
    makeViewModel();
    startRecording(QStringLiteral("Interview"));
    m_recorder->writeCaptureFile(captureBytes);
    releaseLoad();
    ASSERT_TRUE(waitFor([&] { return m_vm->library().isLibraryLoaded(); }));
    EXPECT_EQ(m_vm->library().recordings().size(), 2);
    EXPECT_FALSE(m_vm->library().selectedRecording());
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::recording);
    EXPECT_TRUE(QFileInfo::exists(m_recorder->startedPath)) << "the live capture is no leftover";

    stopRecording(3.0, captureBytes);
    ASSERT_EQ(m_vm->library().recordings().size(), 3);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Interview"));
    EXPECT_EQ(m_vm->library().selectedRecording()->id, m_vm->library().recordings().first().id);
}

TEST_F(LibraryArrival, AQuitBeforeTheLibraryArrivesWaitsForItWithinTheLimit)
{
    makeViewModel();
    startRecording();
    stopRecording(3.0, captureBytes);
    const QString capture = m_recorder->startedPath;

    // Not there within the limit: nothing is written, the capture stays for
    // the next start.
    EXPECT_FALSE(m_vm->library().waitForLibrarySaves(std::chrono::milliseconds(50)));
    EXPECT_EQ(idsOf(savedLibrary()), (QList<QUuid>{m_newer.id, m_older.id}));
    EXPECT_TRUE(QFileInfo::exists(capture));

    // There in time: taken in and filed without another turn of the event loop.
    releaseLoad();
    ASSERT_TRUE(m_vm->library().waitForLibrarySaves(std::chrono::seconds(10)));
    const QList<RecordingItem> saved = savedLibrary();
    ASSERT_EQ(saved.size(), 3);
    EXPECT_EQ(saved.first().title, QStringLiteral("New Recording 2"));
    EXPECT_FALSE(QFileInfo::exists(capture));
}

} // namespace
