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
#include <QPalette>
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

// A dark palette of the kind desktop themes give, for the pictures' second set.
QPalette darkPalette()
{
    QPalette dark;
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 32);
    const QColor text(232, 232, 235);
    for (const auto& [role, color] : std::initializer_list<std::pair<QPalette::ColorRole, QColor>>{
             {QPalette::Window, window},
             {QPalette::WindowText, text},
             {QPalette::Base, base},
             {QPalette::AlternateBase, window},
             {QPalette::ToolTipBase, base},
             {QPalette::ToolTipText, text},
             {QPalette::PlaceholderText, QColor(150, 150, 155)},
             {QPalette::Text, text},
             {QPalette::Button, QColor(58, 58, 62)},
             {QPalette::ButtonText, text},
             {QPalette::BrightText, Qt::red},
             {QPalette::Highlight, QColor(42, 130, 218)},
             {QPalette::HighlightedText, Qt::white},
             {QPalette::Light, QColor(75, 75, 80)},
             {QPalette::Midlight, QColor(62, 62, 66)},
             {QPalette::Mid, QColor(40, 40, 43)},
             {QPalette::Dark, QColor(25, 25, 27)},
             {QPalette::Shadow, Qt::black},
         })
        dark.setColor(role, color);
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 125));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 125));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 125));
    return dark;
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
        {"library-right-to-left-and-status",
         [](GalleryScene& scene) {
             addLibrary(scene, 4);
             scene.addRecording(QString::fromUtf8("\u0627\u062c\u062a\u0645\u0627\u0639 \u0627\u0644\u0641\u0631\u064a\u0642 "
                                                  "\u0627\u0644\u0623\u0633\u0628\u0648\u0639\u064a \u062d\u0648\u0644 "
                                                  "\u062e\u0637\u0629 \u0627\u0644\u0625\u0637\u0644\u0627\u0642 "
                                                  "\u0627\u0644\u062c\u062f\u064a\u062f\u0629"),
                                3, 1530);
             scene.open();
             const RecordingItem arabic = scene.vm().library().recordings().first();
             scene.vm().library().selectRecording(arabic);
             scene.vm().processing().transcribeRecording(scene.vm().library().recordings().at(1));
             scene.vm().processing().enhanceRecording(scene.vm().library().recordings().at(2));
             scene.settle();
         }},
        {"keyboard-focus-on-play",
         [](GalleryScene& scene) {
             addLibrary(scene, 6);
             MainWindow& window = scene.open();
             scene.vm().library().selectRecording(scene.vm().library().recordings().at(1));
             window.activateWindow();
             (void)QTest::qWaitForWindowActive(&window);
             scene.settle();
             if (auto* play = window.findChild<QWidget*>(QStringLiteral("playPauseButton")))
                 play->setFocus(Qt::TabFocusReason);
             scene.settle();
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

    // Every state twice: in the platform's palette, then in a dark one under dark/.
    int failures = 0;
    const QPalette light = QApplication::palette();
    const QDir lightFolder(folder);
    const QDir darkFolder(lightFolder.filePath(QStringLiteral("dark")));
    QDir().mkpath(darkFolder.path());
    for (const auto& [palette, into] : {std::pair{light, lightFolder}, std::pair{darkPalette(), darkFolder}}) {
        QApplication::setPalette(palette);
        for (const GalleryState& state : all) {
            GalleryScene scene;
            state.arrange(scene);
            const QString path = into.absoluteFilePath(QString::fromLatin1(state.name) + QStringLiteral(".png"));
            if (scene.save(path)) {
                std::printf("%s\n", qPrintable(path));
            } else {
                std::fprintf(stderr, "could not write %s\n", qPrintable(path));
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
