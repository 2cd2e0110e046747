#include "GalleryScene.h"

#include "common/Settings.h"
#include "engines/recap/RecapEngine.h"
#include "FakeClipboard.h"
#include "FakeDeviceManager.h"
#include "FakeEnhancer.h"
#include "FakeMeetingDetector.h"
#include "FakePlayer.h"
#include "FakeRecapWriter.h"
#include "FakeRecorder.h"
#include "FakeTranscriber.h"
#include "FakeTrimmer.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/collaborators/FocusService.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/window/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <cmath>

RecordingItem GalleryScene::speechLikeRecording(const QString& title, int minutesAgo, double seconds)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = QStringLiteral("%1_%2.mp3").arg(item.id.toString(QUuid::WithoutBraces)).arg(minutesAgo);
    item.createdAt = Date::now().addingSeconds(-60.0 * minutesAgo);
    item.duration = seconds;
    for (int i = 0; i < 120; ++i) {
        const double phrase = std::fabs(std::sin(i * 0.21)) * (0.55 + 0.35 * std::sin(i * 1.7 + 0.4));
        item.waveformSamples.append(float(std::clamp(0.08 + phrase, 0.05, 1.0)));
    }
    return item;
}

GalleryScene::GalleryScene()
{
    m_storage = std::make_unique<RecordingsStorage>(m_dir.filePath(QStringLiteral("support")),
                                                    m_dir.filePath(QStringLiteral("Downloads")));
    m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("settings.ini")));
}

GalleryScene::~GalleryScene()
{
    m_shown.reset();
    m_window.reset();
    m_vm.reset();
}

void GalleryScene::addRecording(const QString& title, int minutesAgo, double seconds,
                                const std::optional<QString>& transcript)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = RecordingsStorage::sanitizeFilename(title) + QStringLiteral("_%1.mp3").arg(1750000000 - minutesAgo * 60);
    item.createdAt = Date::now().addingSeconds(-60.0 * minutesAgo);
    item.duration = seconds;
    item.transcript = transcript;
    addRecording(item);
}

void GalleryScene::addRecording(RecordingItem item)
{
    QFile file(m_storage->fileURL(item));
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(4096, 'a'));
    item.fileSizeBytes = 4096;
    m_library.append(item);
}

void GalleryScene::setRecapModelPresent(bool present)
{
    const QString path = QDir(RecapEngine::modelsDirectory()).filePath(RecapEngine::modelFileName);
    if (!present) {
        QFile::remove(path);
        return;
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArrayLiteral("GGUF"));
}

MainWindow& GalleryScene::open()
{
    m_storage->save(m_library);
    m_storage->waitForSaves();
    RecordingViewModel::Collaborators c;
    auto recorder = std::make_unique<FakeRecorder>();
    m_recorder = recorder.get();
    c.deviceManager = std::make_unique<FakeDeviceManager>();
    auto player = std::make_unique<FakePlayer>();
    m_player = player.get();
    c.playerManager = std::move(player);
    c.recorder = std::move(recorder);
    auto transcriber = std::make_unique<FakeTranscriber>();
    m_transcriber = transcriber.get();
    c.whisperEngine = std::move(transcriber);
    c.recapEngine = std::make_unique<FakeRecapWriter>(m_dir.filePath(QStringLiteral("models")));
    auto enhancer = std::make_unique<FakeEnhancer>();
    m_enhancer = enhancer.get();
    c.voiceEnhancer = std::move(enhancer);
    auto trimmer = std::make_unique<FakeTrimmer>();
    m_trimmer = trimmer.get();
    c.trimmer = std::move(trimmer);
    auto meetings = std::make_unique<FakeMeetingDetector>();
    m_meetings = meetings.get();
    c.meetingDetector = std::move(meetings);
    c.clipboard = std::make_unique<FakeClipboard>();
    c.storage = m_storage.get();
    c.settings = m_settings.get();
    c.durationTickInterval = std::chrono::milliseconds(10);
    m_vm = std::make_unique<RecordingViewModel>(std::move(c));
    m_vm->library().awaitLibrary(std::chrono::seconds(10));
    m_window = std::make_unique<MainWindow>(*m_vm);
    m_window->show();
    m_window->activateWindow();
    settle();
    return *m_window;
}

void GalleryScene::startRecording(double elapsedSeconds, const std::optional<QString>& title)
{
    m_vm->recorder().startNewRecording(title);
    m_recorder->starts.resolve(m_recorder->starts.count() - 1);
    m_recorder->duration = elapsedSeconds;
    settle();
}

void GalleryScene::settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

void GalleryScene::showInstead(std::unique_ptr<QWidget> widget)
{
    m_shown = std::move(widget);
    m_shown->show();
    settle();
}

bool GalleryScene::save(const QString& path)
{
    settle(50);
    if (!m_picture.isNull())
        return m_picture.save(path);
    return (m_shown ? m_shown->grab() : m_window->grab()).save(path);
}
