#include "AppGalleryStates.h"
#include "FakeMeetingDetector.h"
#include "GalleryScene.h"
#include "PaneGalleryStates.h"
#include "ProgressGalleryStates.h"
#include "SettingsGalleryStates.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/sidebar/InlineRenameField.h"
#include "views/sidebar/RecordingList.h"
#include "views/sidebar/SidebarView.h"
#include "views/style/Style.h"
#include "views/window/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

const char* const titles[] = {
    "Weekly Standup", "Design Review", "Interview with Dana", "Quarterly Planning", "Customer Call: Orbit Labs",
    "1-on-1 with Sam", "Voice note: ideas for the launch", "Lecture 4 - Signal Processing", "Budget Review",
    "Brainstorm: onboarding", "Hiring Sync", "Roadmap Walkthrough", "Retro Sprint 41", "Sales Pipeline",
    "Architecture Deep Dive", "Support Escalation", "Marketing Sync", "Board Prep", "Team Lunch Notes",
    "Release Go/No-Go",
};

void addLibrary(GalleryScene& scene, int count)
{
    for (int i = 0; i < count; ++i) {
        const int minutesAgo = 12 + i * 613;
        scene.addRecording(QString::fromUtf8(titles[i]), minutesAgo, 95.0 + i * 187.3,
                           i == 2 ? std::optional<QString>(QStringLiteral("We talked about the team, the budget and "
                                                                          "what the first ninety days look like."))
                                  : std::nullopt);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // The panes read the shared engines' model folder and the settings: a
    // home of its own keeps the user's files out of the pictures, and them
    // out of reach.
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, (home.path() + QLatin1Char('/') + QString::fromLatin1(variable)).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("NIMBREL_NO_ANIMATIONS", "1");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationName(QStringLiteral("Nimbrel Gallery"));
    Style::apply(app);

    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery-output");
    QDir().mkpath(folder);

    const GalleryState states[] = {
        {"empty-library", [](GalleryScene& scene) { scene.open(); }},
        {"library-20-selected",
         [](GalleryScene& scene) {
             addLibrary(scene, 20);
             scene.open();
             scene.vm().library().selectRecording(scene.vm().library().recordings().at(2));
         }},
        {"recording-in-progress",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             scene.startRecording(83.4);
         }},
        {"rename-in-progress",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             const RecordingItem second = scene.vm().library().recordings().at(1);
             SidebarView* sidebar = scene.window().sidebar();
             RecordingList* list = sidebar->list();
             const QRect row = list->partRect(sidebar->rowOf(second.id), RecordingList::Part::row);
             const QPoint point(row.left() + 4, row.center().y());
             QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, point);
             QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, point);
             scene.settle(300);
             QTest::keyClicks(sidebar->renameField(second.id), QStringLiteral("Design Review (final)"));
         }},
        {"merge-mode-two-picks",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             const QList<RecordingItem> items = scene.vm().library().recordings();
             scene.vm().merge().startMergeMode(items.at(1));
             scene.vm().merge().toggleMergeSelection(items.at(3));
             scene.vm().merge().toggleMergeSelection(items.at(4));
         }},
        {"status-message",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             scene.vm().processing().copyTranscript(QStringLiteral("words"));
         }},
        {"status-moved-to-trash",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             scene.vm().library().deleteRecording(scene.vm().library().recordings().at(1));
         }},
        {"status-message-warning",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             scene.vm().recorder().setIsMicEnabled(false);
             scene.vm().recorder().setIsSystemAudioEnabled(false);
             scene.vm().recorder().startNewRecording();
         }},
        {"meeting-detected-banner",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             scene.meetings().offer(DetectedMeeting{QStringLiteral("Zoom"), QStringLiteral("Design review"),
                                                    QStringLiteral("Zoom Meeting - Design review"),
                                                    QStringLiteral("us.zoom.xos"), Date::now()});
         }},
        {"meeting-ended-banner",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             const DetectedMeeting call{QStringLiteral("Microsoft Teams"),
                                        QStringLiteral("Weekly sync with the platform team"), std::nullopt,
                                        QStringLiteral("com.microsoft.teams"), Date::now()};
             scene.startRecording(1834.2, call.suggestedRecordingTitle());
             scene.meetings().offerToStop(call, 17);
         }},
        {"search-with-quotation",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             scene.open();
             scene.vm().library().setSearchText(QStringLiteral("budget"));
         }},
    };

    QList<GalleryState> all(std::begin(states), std::end(states));
    all += paneGalleryStates();
    all += settingsGalleryStates();
    all += appGalleryStates();
    all += progressGalleryStates();

    int failures = 0;
    for (const GalleryState& state : all) {
        GalleryScene scene;
        state.arrange(scene);
        const QString path = QDir(folder).absoluteFilePath(QString::fromLatin1(state.name) + QStringLiteral(".png"));
        if (scene.save(path)) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
