#include "SettingsGalleryStates.h"

#include "FakeRecorder.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/logic/SettingsRules.h"
#include "views/settings/SettingsServices.h"
#include "views/settings/SettingsView.h"
#include "views/window/MainWindow.h"

namespace {

// The picture needs the folder's name only; nothing is acted on.
class StillServices : public SettingsServices {
public:
    void setMeetingDetectionEnabled(bool) override {}
    void setLaunchAtLogin(bool) override {}
    void checkForUpdates() override {}
    QString recordingsFolder() const override { return QStringLiteral("/home/dana/.local/share/Nimbrel/Recordings"); }
    void showFolder(const QString&) override {}
};

void addLibrary(GalleryScene& scene)
{
    scene.addRecording(QStringLiteral("Weekly Standup"), 12, 95.0);
    scene.addRecording(QStringLiteral("Design Review"), 625, 282.3);
    scene.addRecording(QStringLiteral("Interview with Dana"), 1238, 469.6);
}

// The window at `width`, recording with both sources so the meters move.
void barAt(GalleryScene& scene, int width)
{
    addLibrary(scene);
    MainWindow& window = scene.open();
    window.resize(width, 680);
    scene.startRecording(42.0);
    scene.recorder().emitLevels(0.62f, 0.35f);
    scene.settle();
}

void settingsTab(GalleryScene& scene, SettingsRules::SettingsTab tab)
{
    addLibrary(scene);
    scene.open();
    static StillServices services;
    auto view = std::make_unique<SettingsView>(scene.vm(), scene.settings(), services);
    view->selectTab(tab);
    scene.showInstead(std::move(view));
}

} // namespace

QList<GalleryState> settingsGalleryStates()
{
    using SettingsRules::SettingsTab;
    return {
        {"source-bar-full", [](GalleryScene& scene) { barAt(scene, 1440); }},
        {"source-bar-compact", [](GalleryScene& scene) { barAt(scene, 1120); }},
        {"source-bar-very-compact", [](GalleryScene& scene) { barAt(scene, 960); }},
        {"source-bar-sources-off",
         [](GalleryScene& scene) {
             addLibrary(scene);
             scene.open().resize(1280, 680);
             scene.vm().recorder().setIsMicEnabled(false);
             scene.vm().recorder().setIsSystemAudioEnabled(false);
         }},
        {"settings-general", [](GalleryScene& scene) { settingsTab(scene, SettingsTab::general); }},
        {"settings-audio", [](GalleryScene& scene) { settingsTab(scene, SettingsTab::audio); }},
        {"settings-ai-recap", [](GalleryScene& scene) { settingsTab(scene, SettingsTab::ai); }},
        {"settings-storage", [](GalleryScene& scene) { settingsTab(scene, SettingsTab::storage); }},
    };
}
