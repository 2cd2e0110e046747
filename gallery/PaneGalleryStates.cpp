#include "PaneGalleryStates.h"

#include "FakePlayer.h"
#include "FakeRecorder.h"
#include "GalleryScene.h"

#include "viewmodels/RecordingViewModel.h"

#include <QUuid>

#include <cmath>

namespace {

const char* const meetingSegments[] = {
    "Okay, let's get started. The main thing today is the launch date for Orbit two.",
    "Dana, you had the numbers from the beta?",
    "Yes. Setup still takes too many steps; thirty-eight percent of trial users stop before their first recording.",
    "That matches what support sees, although tickets dropped by a third since the January patch.",
    "So the onboarding rework has to ship with the launch, not after it.",
    "Which means we can't make March third. March fourteenth is realistic.",
    "And the budget? Does moving the date change the budget for the quarter?",
    "No, the budget stays within the Q1 plan; only the campaign moves by eleven days.",
    "Marketing needs the final screenshots by the end of February.",
    "Then the dark theme waits for two point one.",
    "Agreed. Sam, can you write the release checklist?",
    "Sure, I'll put it in the launch folder by Friday.",
};

RecordingItem recording(const QString& title, int minutesAgo, double seconds)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = QStringLiteral("%1_%2.mp3").arg(item.id.toString(QUuid::WithoutBraces)).arg(minutesAgo);
    item.createdAt = Date::now().addingSeconds(-60.0 * minutesAgo);
    item.duration = seconds;
    for (int i = 0; i < 120; ++i) {
        // A speech-like envelope: phrases with pauses between them.
        const double phrase = std::fabs(std::sin(i * 0.21)) * (0.55 + 0.35 * std::sin(i * 1.7 + 0.4));
        item.waveformSamples.append(float(std::clamp(0.08 + phrase, 0.05, 1.0)));
    }
    return item;
}

RecordingItem planningMeeting()
{
    RecordingItem item = recording(QStringLiteral("Launch Planning: Orbit 2.0"), 35, 1847);
    QList<TranscriptSegment> segments;
    QStringList text;
    double start = 0;
    for (const char* line : meetingSegments) {
        const QString sentence = QString::fromUtf8(line);
        const double length = 2.0 + sentence.size() / 14.0;
        segments.append({QUuid::createUuid(), start, start + length, sentence});
        text.append(sentence);
        start += length + 0.6;
    }
    item.transcript = text.join(QLatin1Char(' '));
    item.transcriptSegments = segments;
    item.recordingType = RecordingType::meeting;
    return item;
}

// The library around the shown recording, with `shown` selected on `tab`.
void showRecording(GalleryScene& scene, const RecordingItem& shown, DetailViewTab tab)
{
    scene.addRecording(shown);
    scene.addRecording(recording(QStringLiteral("Weekly Standup"), 60 * 26, 912));
    scene.addRecording(recording(QStringLiteral("Interview with Dana"), 60 * 50, 2710));
    scene.open();
    for (const RecordingItem& item : scene.vm().recordings()) {
        if (item.id == shown.id)
            scene.vm().selectRecording(item);
    }
    scene.vm().setActiveDetailTab(tab);
    scene.settle();
}

} // namespace

QList<PaneGalleryState> paneGalleryStates()
{
    return {
        {"audio-pane-stored-recording",
         [](GalleryScene& scene) {
             showRecording(scene, planningMeeting(), DetailViewTab::waveform);
             scene.player().advanceTo(642);
         }},
        {"live-pane-recording",
         [](GalleryScene& scene) {
             scene.addRecording(planningMeeting());
             scene.open();
             scene.vm().setActiveRecordingType(RecordingType::brainstorming);
             scene.startRecording(205.7);
             for (int i = 0; i < 140; ++i)
                 scene.recorder().emitWaveformSample(
                     float(std::clamp(0.1 + std::fabs(std::sin(i * 0.37)) * (0.5 + 0.4 * std::sin(i * 0.09)), 0.05, 1.0)));
         }},
        {"transcript-search-match",
         [](GalleryScene& scene) {
             showRecording(scene, planningMeeting(), DetailViewTab::transcript);
             scene.vm().setSearchText(QStringLiteral("Budget"));
         }},
        {"transcript-speech-model-card",
         [](GalleryScene& scene) {
             showRecording(scene, recording(QStringLiteral("Customer Call: Orbit Labs"), 20, 1312),
                           DetailViewTab::transcript);
         }},
    };
}
