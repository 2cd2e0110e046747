#pragma once

#include "FakeClipboard.h"
#include "FakeDeviceManager.h"
#include "FakeEnhancer.h"
#include "FakeFocus.h"
#include "FakeMeetingDetector.h"
#include "FakePlayer.h"
#include "FakeRecapWriter.h"
#include "FakeRecorder.h"
#include "FakeTranscriber.h"
#include "FakeTrimmer.h"
#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/RecordingViewModel.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <memory>

// A view model over fakes of every collaborator, a library in a folder of its
// own and settings in a file of their own. The fakes stay reachable through
// the raw pointers after the view model took them.
class ViewModelFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the view model and waits for its library; seed the library and
    // settings before.
    RecordingViewModel& makeViewModel();
    // What releases the keyboard: a counting fake (m_focus) unless a fixture
    // with windows gives the real one.
    virtual std::unique_ptr<FocusService> makeFocusService();

    // A recording with an audio file of `bytes` bytes, `minutesAgo` old.
    RecordingItem makeRecording(const QString& title, int minutesAgo, qint64 bytes = 4096);
    // Writes the library index the view model will load.
    void seedLibrary(const QList<RecordingItem>& items);
    QString audioPath(const RecordingItem& item) const;
    void writeFile(const QString& path, qint64 bytes) const;

    // Starts a recording and lets the recorder's start succeed.
    void startRecording(const std::optional<QString>& title = std::nullopt);
    // Stops the running recording after the capture file got `bytes` bytes.
    void stopRecording(double duration, qint64 bytes, const QList<float>& amplitudes = {});
    bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000);
    // Runs what is queued on the event loop.
    void settle();

    // The library as saved on disk.
    QList<RecordingItem> savedLibrary() const;
    // Creates or removes the recap model file.
    void setRecapModelPresent(bool present);

    QTemporaryDir m_dir;
    std::unique_ptr<RecordingsStorage> m_storage;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<RecordingViewModel> m_vm;
    std::chrono::milliseconds m_statusClearDelay{4000};
    bool m_useRealEnhancer = false; // the application's own voice enhancer
    bool m_useRealPlayer = false; // the app's player on the sound server; m_player stays null
    bool m_useRealTrimmer = false; // the app's audio trimmer; m_trimmer stays null
    bool m_awaitLibrary = true; // makeViewModel returns once the library is loaded
    std::function<void()> m_beforeLibraryLoad; // runs on the load's thread first

    FakeDeviceManager* m_devices = nullptr;
    FakePlayer* m_player = nullptr;
    FakeRecorder* m_recorder = nullptr;
    FakeTranscriber* m_transcriber = nullptr;
    FakeRecapWriter* m_recap = nullptr;
    FakeEnhancer* m_enhancer = nullptr;
    FakeMeetingDetector* m_meetings = nullptr;
    FakeClipboard* m_clipboard = nullptr;
    FakeFocus* m_focus = nullptr;
    FakeTrimmer* m_trimmer = nullptr;
};
