#include "ViewModelFixture.h"

#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

void ViewModelFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_storage = std::make_unique<RecordingsStorage>(m_dir.filePath(QStringLiteral("support")),
                                                    m_dir.filePath(QStringLiteral("Downloads")));
    m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("settings.ini")));
    QDir().mkpath(m_dir.filePath(QStringLiteral("models")));
}

void ViewModelFixture::TearDown()
{
    m_vm.reset();
    settle();
}

std::unique_ptr<FocusService> ViewModelFixture::makeFocusService()
{
    auto focus = std::make_unique<FakeFocus>();
    m_focus = focus.get();
    return focus;
}

RecordingViewModel& ViewModelFixture::makeViewModel()
{
    RecordingViewModel::Collaborators c;
    auto devices = std::make_unique<FakeDeviceManager>();
    auto player = std::make_unique<FakePlayer>();
    auto recorder = std::make_unique<FakeRecorder>();
    auto transcriber = std::make_unique<FakeTranscriber>();
    auto recap = std::make_unique<FakeRecapWriter>(m_dir.filePath(QStringLiteral("models")));
    auto enhancer = std::make_unique<FakeEnhancer>();
    auto meetings = std::make_unique<FakeMeetingDetector>();
    auto clipboard = std::make_unique<FakeClipboard>();
    auto focus = makeFocusService();
    m_devices = devices.get();
    m_player = player.get();
    m_recorder = recorder.get();
    m_transcriber = transcriber.get();
    m_recap = recap.get();
    m_enhancer = enhancer.get();
    m_meetings = meetings.get();
    m_clipboard = clipboard.get();
    c.deviceManager = std::move(devices);
    if (!m_useRealPlayer)
        c.playerManager = std::move(player);
    else
        m_player = nullptr;
    c.recorder = std::move(recorder);
    c.whisperEngine = std::move(transcriber);
    c.recapEngine = std::move(recap);
    if (!m_useRealEnhancer)
        c.voiceEnhancer = std::move(enhancer);
    else
        m_enhancer = nullptr;
    c.meetingDetector = std::move(meetings);
    if (!m_useRealTrimmer) {
        auto trimmer = std::make_unique<FakeTrimmer>();
        m_trimmer = trimmer.get();
        c.trimmer = std::move(trimmer);
    }
    c.clipboard = std::move(clipboard);
    c.focus = std::move(focus);
    c.storage = m_storage.get();
    c.settings = m_settings.get();
    c.statusClearDelay = m_statusClearDelay;
    c.durationTickInterval = std::chrono::milliseconds(10);
    c.beforeLibraryLoad = m_beforeLibraryLoad;
    m_vm = std::make_unique<RecordingViewModel>(std::move(c));
    // Taken in without turning the event loop: the start-up pass is still
    // queued, as after a load on the window's thread.
    if (m_awaitLibrary) {
        EXPECT_TRUE(m_vm->library().awaitLibrary(std::chrono::seconds(10)));
    }
    return *m_vm;
}

RecordingItem ViewModelFixture::makeRecording(const QString& title, int minutesAgo, qint64 bytes)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = title + QStringLiteral("_") + QString::number(1700000000 - minutesAgo * 60) + QStringLiteral(".mp3");
    item.createdAt = Date::now().addingSeconds(-60.0 * minutesAgo);
    item.duration = 30;
    item.fileSizeBytes = bytes;
    item.waveformSamples = QList<float>(120, 0.5f);
    writeFile(audioPath(item), bytes);
    return item;
}

void ViewModelFixture::seedLibrary(const QList<RecordingItem>& items)
{
    m_storage->save(items);
    ASSERT_TRUE(m_storage->waitForSaves());
}

QString ViewModelFixture::audioPath(const RecordingItem& item) const
{
    return m_storage->fileURL(item);
}

void ViewModelFixture::writeFile(const QString& path, qint64 bytes) const
{
    TestFiles::writeFile(path, QByteArray(bytes, 'a'));
}

void ViewModelFixture::startRecording(const std::optional<QString>& title)
{
    m_vm->recorder().startNewRecording(title);
    ASSERT_EQ(m_vm->recorder().recorderState(), RecorderState::starting);
    m_recorder->starts.resolve(m_recorder->starts.count() - 1);
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));
}

void ViewModelFixture::stopRecording(double duration, qint64 bytes, const QList<float>& amplitudes)
{
    m_recorder->writeCaptureFile(bytes);
    m_vm->recorder().stopRecording();
    ASSERT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    m_recorder->stops.resolveLast({duration, amplitudes});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));
}

bool ViewModelFixture::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    return TestEnvironment::waitUntil(done, timeoutMs);
}

void ViewModelFixture::settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

QList<RecordingItem> ViewModelFixture::savedLibrary() const
{
    m_storage->waitForSaves();
    return RecordingsStorage::decodeIndex(TestFiles::readFile(m_storage->metadataFile()))
        .value_or(QList<RecordingItem>());
}

void ViewModelFixture::setRecapModelPresent(bool present)
{
    const QString path = QDir(m_recap->modelsDirectory()).filePath(m_recap->modelFileName());
    if (present)
        writeFile(path, 16);
    else
        QFile::remove(path);
}
