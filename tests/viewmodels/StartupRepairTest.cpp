#include "engines/recap/RecapCleaner.h"
#include "support/StdoutCapture.h"
#include "support/TestFiles.h"
#include "ToneMp3.h"
#include "ViewModelFixture.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RepairRules.h"
#include "viewmodels/StartupRepair.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

#include <cmath>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::Each;
using ::testing::Ge;
using ::testing::Le;

namespace {

QList<float> spreadWaveform(int count)
{
    // 0.1 ... 1.0 in even steps: range 0.9, variance about 0.07.
    QList<float> values;
    for (int i = 0; i < count; ++i)
        values.append(0.1f + 0.9f * static_cast<float>(i) / static_cast<float>(count - 1));
    return values;
}

TEST(RepairRules, WaveformsRebuiltWhenShortOrFlat)
{
    QList<float> lowSpread(120, 0.5f);
    lowSpread[0] = 0.3f;
    lowSpread[1] = 0.6f; // range 0.3, variance far below 0.02
    const struct {
        const char* name;
        QList<float> samples;
        bool rebuilt;
    } cases[] = {
        {"none", {}, true},
        {"119 spread values", spreadWaveform(119), true},
        {"120 spread values", spreadWaveform(120), false},
        {"120 equal values", QList<float>(120, 0.7f), true},
        {"range 0.3, low variance", lowSpread, true},
        {"more than 120 spread values", spreadWaveform(600), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RepairRules::waveformNeedsRepair(c.samples), c.rebuilt) << c.name;
}

TEST(RepairRules, PlaceholderTranscriptsStartAtZeroTwoAndFour)
{
    const auto segments = [](std::initializer_list<double> starts) {
        QList<TranscriptSegment> list;
        for (const double start : starts)
            list.append({QUuid::createUuid(), start, start + 1, QStringLiteral("words")});
        return std::optional<QList<TranscriptSegment>>(list);
    };
    const struct {
        const char* name;
        std::optional<QList<TranscriptSegment>> segments;
        bool placeholder;
    } cases[] = {
        {"0/2/4", segments({0, 2, 4}), true},
        {"0/2/4 and more", segments({0, 2, 4, 9.5}), true},
        {"0/2/5", segments({0, 2, 5}), false},
        {"two segments", segments({0, 2}), false},
        {"0/2/4.01", segments({0, 2, 4.01}), false},
        {"no segments", std::nullopt, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RepairRules::isPlaceholderTranscript(c.segments), c.placeholder) << c.name;
}

const QString olderRecap = QString::fromUtf8("# \xF0\x9F\x93\x8C Sintesi Esecutiva\n(2-3 frasi sintetiche)\n"
                                             "Il team ha approvato il budget.");
// Holds a marker, but is already what cleaning gives.
const QString cleanOlderRecap = QStringLiteral("## Elenco sintetico\n- Budget approvato.");

TEST(RepairRules, OlderRecapsAreCleanedOnlyWhenCleaningChangesThem)
{
    ASSERT_NE(RecapCleaner::clean(olderRecap), olderRecap);
    ASSERT_EQ(RecapCleaner::clean(cleanOlderRecap), cleanOlderRecap);
    EXPECT_EQ(RepairRules::cleanedOlderRecap(olderRecap), RecapCleaner::clean(olderRecap));
    EXPECT_EQ(RepairRules::cleanedOlderRecap(cleanOlderRecap), std::nullopt);
    // Cleaning would change it, but nothing marks it as the older format.
    const QString unmarked = QStringLiteral("Sure! Here it is:\n# Executive Summary\nDone.");
    ASSERT_NE(RecapCleaner::clean(unmarked), unmarked);
    EXPECT_EQ(RepairRules::cleanedOlderRecap(unmarked), std::nullopt);
    EXPECT_EQ(RepairRules::cleanedOlderRecap(std::nullopt), std::nullopt);
}

class StartupRepair : public ViewModelFixture {
protected:
    // Builds the view model and waits for its start-up pass to end.
    void runPass()
    {
        makeViewModel();
        QSignalSpy finished(&m_vm->startupRepair(), &::StartupRepair::finished);
        ASSERT_TRUE(finished.wait(10000));
        settle();
    }

    RecordingItem withTone(RecordingItem item, double seconds = 3)
    {
        writeToneMp3(audioPath(item), seconds, [](double t) { return 0.2 + 0.8 * std::fmod(t, 1.0); });
        return item;
    }

    std::optional<RecordingItem> stored(const QUuid& id) const
    {
        for (const RecordingItem& item : m_vm->library().recordings())
            if (item.id == id)
                return item;
        return std::nullopt;
    }

    static bool isOpenHere(const QString& path)
    {
        const QString target = QFileInfo(path).canonicalFilePath();
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QString& fd : fds.entryList(QDir::Files | QDir::System))
            if (QFileInfo(fds.filePath(fd)).symLinkTarget() == target)
                return true;
        return false;
    }

    // The index is replaced by a rename at every save: a new inode.
    ino_t indexInode() const
    {
        struct stat status {};
        ::stat(QFile::encodeName(m_storage->metadataFile()).constData(), &status);
        return status.st_ino;
    }

    void TearDown() override
    {
        ViewModelFixture::TearDown();
        // What the test printed, failures included, went to the capture.
        if (HasFailure())
            std::fprintf(stderr, "%s\n", qPrintable(m_stdout.text()));
    }

    StdoutCapture m_stdout;
};

TEST_F(StartupRepair, ShortOrFlatWaveformsAreReadBackFromTheAudioAndSaved)
{
    RecordingItem flat = withTone(makeRecording("Flat", 1)); // 120 equal bars
    RecordingItem shortOne = withTone(makeRecording("Short", 2));
    shortOne.waveformSamples = spreadWaveform(60);
    RecordingItem good = withTone(makeRecording("Good", 3));
    good.waveformSamples = spreadWaveform(120);
    seedLibrary({flat, shortOne, good});

    runPass();

    for (const RecordingItem& item : {flat, shortOne}) {
        const auto repaired = stored(item.id);
        ASSERT_TRUE(repaired);
        ASSERT_EQ(repaired->waveformSamples.size(), 120) << item.title.toStdString();
        EXPECT_THAT(repaired->waveformSamples, Each(Ge(0.12f)));
        EXPECT_THAT(repaired->waveformSamples, Each(Le(1.0f)));
        EXPECT_FALSE(RepairRules::waveformNeedsRepair(repaired->waveformSamples));
        EXPECT_TRUE(m_stdout.text().contains(QStringLiteral("Repaired and enhanced waveform for ") + item.title
                                             + QStringLiteral(" with 120 dynamic bars.")));
    }
    EXPECT_EQ(stored(good.id)->waveformSamples, good.waveformSamples);
    // The selection (the first recording) shows the new bars too, and they are on disk.
    ASSERT_TRUE(m_vm->library().selectedRecording());
    EXPECT_EQ(m_vm->library().selectedRecording()->waveformSamples, stored(flat.id)->waveformSamples);
    EXPECT_EQ(savedLibrary(), m_vm->library().recordings());
}

TEST_F(StartupRepair, AMissingOrNonAudioFileKeepsTheStoredWaveform)
{
    const RecordingItem missing = makeRecording("Missing", 1);
    const RecordingItem text = makeRecording("Text", 2);
    TestFiles::writeFile(audioPath(text), QByteArray("not audio at all\n").repeated(500));
    seedLibrary({missing, text});
    // Gone after the library was loaded (a load drops an entry whose file is gone).
    makeViewModel();
    m_storage->waitForSaves(); // what the load itself wrote
    const ino_t index = indexInode();
    QSignalSpy finished(&m_vm->startupRepair(), &::StartupRepair::finished);
    ASSERT_TRUE(QFile::remove(audioPath(missing)));
    ASSERT_TRUE(finished.wait(10000));
    settle();

    ASSERT_EQ(m_vm->library().recordings().size(), 2);
    EXPECT_EQ(stored(missing.id)->waveformSamples, missing.waveformSamples);
    EXPECT_EQ(stored(text.id)->waveformSamples, text.waveformSamples);
    m_storage->waitForSaves();
    EXPECT_EQ(indexInode(), index);
    EXPECT_FALSE(m_stdout.text().contains(QStringLiteral("Repaired")));
}

TEST_F(StartupRepair, OlderRecapIsCleanedAndSavedKeepingItsDate)
{
    RecordingItem older = makeRecording("Older", 1);
    older.waveformSamples = spreadWaveform(120);
    older.summary = olderRecap;
    older.summaryCreatedAt = Date::now().addingSeconds(-3600);
    seedLibrary({older});

    runPass();

    EXPECT_EQ(stored(older.id)->summary, RecapCleaner::clean(olderRecap));
    EXPECT_EQ(stored(older.id)->summaryCreatedAt, older.summaryCreatedAt);
    EXPECT_TRUE(m_stdout.text().contains(QStringLiteral("Repaired and cleaned executive recap for Older.")));
    EXPECT_EQ(savedLibrary(), m_vm->library().recordings());
}

TEST_F(StartupRepair, ARecapThatCleaningKeepsSavesNothing)
{
    RecordingItem unchanged = makeRecording("Unchanged", 1);
    unchanged.waveformSamples = spreadWaveform(120);
    unchanged.summary = cleanOlderRecap;
    seedLibrary({unchanged});
    makeViewModel();
    m_storage->waitForSaves(); // what the load itself wrote
    const ino_t index = indexInode();
    QSignalSpy finished(&m_vm->startupRepair(), &::StartupRepair::finished);
    ASSERT_TRUE(finished.wait(10000));
    settle();

    EXPECT_EQ(stored(unchanged.id)->summary, cleanOlderRecap);
    m_storage->waitForSaves();
    EXPECT_EQ(indexInode(), index);
    EXPECT_FALSE(m_stdout.text().contains(QStringLiteral("Repaired")));
}

TEST_F(StartupRepair, PlaceholderTranscriptIsTranscribedAgainASecondLater)
{
    const auto withStarts = [this](const QString& title, int minutesAgo, std::initializer_list<double> starts) {
        RecordingItem item = makeRecording(title, minutesAgo);
        item.waveformSamples = spreadWaveform(120);
        QList<TranscriptSegment> segments;
        for (const double start : starts)
            segments.append({QUuid::createUuid(), start, start + 2, QStringLiteral("Lorem ipsum")});
        item.transcriptSegments = segments;
        item.transcript = QStringLiteral("Lorem ipsum");
        return item;
    };
    const RecordingItem placeholder = withStarts("Placeholder", 1, {0, 2, 4});
    const RecordingItem real = withStarts("Real", 2, {0, 2, 5});
    const RecordingItem twoSegments = withStarts("Two", 3, {0, 2});
    seedLibrary({placeholder, real, twoSegments});

    QElapsedTimer clock;
    clock.start();
    runPass();
    EXPECT_TRUE(m_stdout.text().contains(
        QStringLiteral("Found legacy mock transcript for Placeholder. Re-transcribing with Whisper Turbo for real "
                       "timestamps...")));
    ASSERT_TRUE(waitFor([&] { return m_transcriber->calls.count() == 1; }, 5000));
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_EQ(m_transcriber->paths, QStringList{audioPath(placeholder)});
    EXPECT_TRUE(m_vm->processing().transcribingRecordingIDs().contains(placeholder.id));
    // Nothing else follows.
    EXPECT_FALSE(waitFor([&] { return m_transcriber->calls.count() > 1; }, 1500));
}

TEST_F(StartupRepair, APlaceholderAndItsRecapOutliveStartsWithoutASpeechModelAndAFailedRun)
{
    RecordingItem placeholder = makeRecording("Placeholder", 1);
    placeholder.waveformSamples = spreadWaveform(120);
    placeholder.transcriptSegments = QList<TranscriptSegment>{
        {QUuid::createUuid(), 0, 2, "a"}, {QUuid::createUuid(), 2, 4, "b"}, {QUuid::createUuid(), 4, 6, "c"}};
    placeholder.transcript = QStringLiteral("a b c");
    placeholder.summary = QStringLiteral("# What was said");
    placeholder.summaryCreatedAt = Date::now().addingSeconds(-3600);
    seedLibrary({placeholder});

    // A start whose run could only fail leaves both alone, every time.
    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE(start);
        makeViewModel();
        m_transcriber->modelInstalled = false;
        QSignalSpy finished(&m_vm->startupRepair(), &::StartupRepair::finished);
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_FALSE(waitFor([&] { return m_transcriber->calls.count() > 0; }, 1500));
        ASSERT_EQ(savedLibrary(), QList<RecordingItem>{placeholder});
        m_vm.reset();
        settle();
    }

    // With a model the run starts; when it fails, nothing is lost either.
    makeViewModel();
    ASSERT_TRUE(waitFor([&] { return m_transcriber->calls.count() == 1; }, 5000));
    EXPECT_EQ(stored(placeholder.id)->summary, placeholder.summary);
    m_transcriber->calls.failLast(Error(QStringLiteral("Engine"), 1, QStringLiteral("No model.")));
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().transcribingRecordingIDs().isEmpty(); }));
    EXPECT_EQ(stored(placeholder.id), placeholder);
    EXPECT_EQ(savedLibrary(), QList<RecordingItem>{placeholder});
}

TEST_F(StartupRepair, APlaceholderDeletedBeforeItsTurnIsNotTranscribed)
{
    RecordingItem placeholder = makeRecording("Placeholder", 1);
    placeholder.waveformSamples = spreadWaveform(120);
    placeholder.transcriptSegments = QList<TranscriptSegment>{
        {QUuid::createUuid(), 0, 2, "a"}, {QUuid::createUuid(), 2, 4, "b"}, {QUuid::createUuid(), 4, 6, "c"}};
    seedLibrary({placeholder});
    runPass();
    m_vm->library().deleteRecording(placeholder);
    EXPECT_FALSE(waitFor([&] { return m_transcriber->calls.count() > 0; }, 2000));
}

TEST_F(StartupRepair, ARecordingDeletedWhileItsWaveformIsReadIsSkipped)
{
    const RecordingItem deleted = withTone(makeRecording("Deleted", 1));
    const RecordingItem kept = withTone(makeRecording("Kept", 2));
    seedLibrary({deleted, kept});
    makeViewModel();
    QSignalSpy finished(&m_vm->startupRepair(), &::StartupRepair::finished);

    // From now on its audio comes through a pipe, so the test holds the read
    // open while it deletes the recording.
    const QByteArray audio = TestFiles::readFile(audioPath(deleted));
    const QByteArray pipePath = QFile::encodeName(audioPath(deleted));
    ASSERT_TRUE(QFile::remove(audioPath(deleted)));
    ASSERT_EQ(::mkfifo(pipePath.constData(), 0600), 0);

    // The pass starts on the next event-loop turn. Its findings are applied
    // on later turns, and the loop does not run until the deletion is done.
    QCoreApplication::sendPostedEvents(m_vm.get(), QEvent::MetaCall);
    // The writing end opens once the pass has opened the reading end.
    int pipe = -1;
    QElapsedTimer clock;
    clock.start();
    while ((pipe = ::open(pipePath.constData(), O_WRONLY | O_NONBLOCK)) < 0 && clock.elapsed() < 10000)
        QThread::usleep(200);
    ASSERT_GE(pipe, 0);
    m_vm->library().deleteRecording(deleted);
    ::fcntl(pipe, F_SETFL, 0);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    for (qsizetype written = 0; written < audio.size();) {
        const ssize_t count = ::write(pipe, audio.constData() + written, size_t(audio.size() - written));
        if (count <= 0)
            break;
        written += count;
    }
    std::signal(SIGPIPE, previous);
    ::close(pipe);

    ASSERT_TRUE(finished.wait(10000));
    settle();
    EXPECT_FALSE(stored(deleted.id));
    EXPECT_FALSE(m_stdout.text().contains(QStringLiteral("waveform for Deleted")));
    EXPECT_TRUE(m_stdout.text().contains(QStringLiteral("waveform for Kept")));
    const QList<RecordingItem> saved = savedLibrary();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().id, kept.id);
}

TEST_F(StartupRepair, DestroyingTheViewModelStopsThePass)
{
    const RecordingItem item = withTone(makeRecording("Long", 1), 60);
    seedLibrary({item});
    makeViewModel();
    QCoreApplication::sendPostedEvents(m_vm.get(), QEvent::MetaCall);
    QElapsedTimer clock;
    clock.start();
    while (!isOpenHere(audioPath(item)) && clock.elapsed() < 10000)
        QThread::usleep(200);
    m_vm.reset();
    settle();
    EXPECT_FALSE(isOpenHere(audioPath(item)));
    EXPECT_FALSE(m_stdout.text().contains(QStringLiteral("Repaired")));
}

} // namespace
