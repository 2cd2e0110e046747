#pragma once

#include "models/RecordingItem.h"

#include <QPixmap>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class FakeMeetingDetector;
class FakePlayer;
class FakeEnhancer;
class FakeRecorder;
class FakeTranscriber;
class FakeTrimmer;
class MainWindow;
class QWidget;
class RecordingViewModel;
class RecordingsStorage;
class Settings;

// One state of the main window: a library in a folder of its own, a view model
// on fakes, and the window over it.
class GalleryScene {
public:
    GalleryScene();
    ~GalleryScene();

    // A recording made `minutesAgo` with a speech-like waveform: phrases with
    // pauses between them.
    static RecordingItem speechLikeRecording(const QString& title, int minutesAgo, double seconds);

    // The library the view model loads; call before `open`.
    void addRecording(const QString& title, int minutesAgo, double seconds,
                      const std::optional<QString>& transcript = std::nullopt);
    // A recording made by the caller; its audio file is written here.
    void addRecording(RecordingItem item);
    // Creates or removes the recap model file where the panes look for it.
    void setRecapModelPresent(bool present);
    MainWindow& open();

    RecordingViewModel& vm() const { return *m_vm; }
    Settings& settings() const { return *m_settings; }
    RecordingsStorage& storage() const { return *m_storage; }
    MainWindow& window() const { return *m_window; }
    FakeRecorder& recorder() const { return *m_recorder; }
    FakePlayer& player() const { return *m_player; }
    FakeMeetingDetector& meetings() const { return *m_meetings; }
    FakeTranscriber& transcriber() const { return *m_transcriber; }
    FakeEnhancer& enhancer() const { return *m_enhancer; }
    FakeTrimmer& trimmer() const { return *m_trimmer; }

    void startRecording(double elapsedSeconds, const std::optional<QString>& title = std::nullopt);
    // Pictures `widget` (shown on its own) instead of the main window.
    void showInstead(std::unique_ptr<QWidget> widget);
    // Saves this picture in place of the window's.
    void showPicture(const QPixmap& picture) { m_picture = picture; }
    // Lets queued work and short timers run.
    void settle(int ms = 150);
    bool save(const QString& path);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RecordingsStorage> m_storage;
    std::unique_ptr<Settings> m_settings;
    QList<RecordingItem> m_library;
    std::unique_ptr<RecordingViewModel> m_vm;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QWidget> m_shown;
    FakeRecorder* m_recorder = nullptr;
    FakePlayer* m_player = nullptr;
    FakeMeetingDetector* m_meetings = nullptr;
    FakeTranscriber* m_transcriber = nullptr;
    FakeEnhancer* m_enhancer = nullptr;
    FakeTrimmer* m_trimmer = nullptr;
    QPixmap m_picture;
};

// A named picture of the gallery: what is done to a fresh scene before it is taken.
struct GalleryState {
    const char* name;
    std::function<void(GalleryScene&)> arrange;
};
