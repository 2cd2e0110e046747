#include "PaneGalleryStates.h"

#include "FakePlayer.h"
#include "FakeRecorder.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/TrimSession.h"
#include "views/detail/PlaybackTranscriptView.h"
#include "views/detail/PlaybackWaveformView.h"
#include "views/detail/TranscriptSegmentList.h"
#include "views/detail/TranscriptSegmentModel.h"
#include "views/detail/TrimConfirmDialog.h"
#include "views/detail/WaveformVisualizerView.h"
#include "views/window/MainWindow.h"

#include <QPainter>
#include <QTest>
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

const char* const meetingRecap = R"md(# 📌 Executive Summary
The product team agreed to move the public launch of Orbit 2.0 to **March 14** so that the onboarding rework ships with it. The budget stays within the Q1 plan.

# 🔑 Key Takeaways
- Beta feedback: setup takes *too many steps*; 38% of trial users stop before their first recording.
- Support tickets dropped by a third since the January patch.
- Marketing needs the final screenshots by **February 28** (see the [launch plan](https://example.com/orbit/launch)).

# 💡 Decisions Made
- The launch moves from March 3 to March 14.
- The onboarding rework ships in the launch build; the ~~dark theme~~ waits for 2.1.

# ✅ Next Steps & Action Items
- [ ] Dana: final onboarding designs by February 20
- [ ] Sam: release checklist in `launch/checklist.md` by Friday
- [ ] Priya: brief the sales team on the new date)md";

const char* const voiceNoteTranscript
    = "Allora, promemoria per questa settimana. Devo spostare la riunione con il fornitore a giovedì, ma prima "
      "preparare i numeri del preventivo, che è più alto del dodici per cento rispetto all'anno scorso. Chiedere "
      "a Marco se il contratto include anche l'assistenza. Un'idea: proporre un pagamento in due rate. E poi "
      "mandare a Giulia il riepilogo dei costi e prenotare la sala per giovedì alle dieci.";

const char* const voiceNoteRecap = R"md(# 📝 Pensiero Principale
Spostare la riunione con il fornitore a giovedì e preparare prima i numeri del preventivo.

# 🔍 Dettagli & Riflessioni
- Il preventivo attuale è **più alto del 12%** rispetto all'anno scorso.
- Chiedere a Marco se il contratto include l'assistenza.
- Idea: proporre un pagamento *in due rate*.

# 📌 Cose da Fare o Ricordare
- [ ] Chiamare il fornitore entro mercoledì
- [ ] Mandare a Giulia il riepilogo dei costi
- [ ] Prenotare la sala per giovedì alle 10)md";

RecordingItem planningMeeting()
{
    RecordingItem item = GalleryScene::speechLikeRecording(QStringLiteral("Launch Planning: Orbit 2.0"), 35, 1847);
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

RecordingItem voiceNote()
{
    RecordingItem item = GalleryScene::speechLikeRecording(QStringLiteral("Nota vocale: fornitore"), 90, 48);
    const QString text = QString::fromUtf8(voiceNoteTranscript);
    item.transcript = text;
    item.transcriptSegments = QList<TranscriptSegment>{{QUuid::createUuid(), 0, 48, text}};
    item.summary = QString::fromUtf8(voiceNoteRecap);
    item.summaryCreatedAt = Date::now();
    item.recordingType = RecordingType::quickNote;
    return item;
}

// The library around the shown recording, with `shown` selected on `tab`.
void showRecording(GalleryScene& scene, const RecordingItem& shown, DetailViewTab tab, bool recapModel = true)
{
    scene.setRecapModelPresent(recapModel);
    scene.addRecording(shown);
    scene.addRecording(GalleryScene::speechLikeRecording(QStringLiteral("Weekly Standup"), 60 * 26, 912));
    scene.addRecording(GalleryScene::speechLikeRecording(QStringLiteral("Interview with Dana"), 60 * 50, 2710));
    scene.open();
    for (const RecordingItem& item : scene.vm().library().recordings()) {
        if (item.id == shown.id)
            scene.vm().library().selectRecording(item);
    }
    scene.vm().library().setActiveDetailTab(tab);
    scene.settle();
}

RecordingItem current(GalleryScene& scene)
{
    return *scene.vm().library().selectedRecording();
}

// The pointer resting on a row of the transcript shown.
void hoverSegment(GalleryScene& scene, int row)
{
    TranscriptSegmentList* list = scene.window().findChild<PlaybackTranscriptView*>()->segmentList();
    QTest::mouseMove(list->viewport(), list->visualRect(list->segmentModel()->index(row)).center());
}

// Trim mode on the planning meeting with 6:52 to 21:30 selected.
void showTrimSelection(GalleryScene& scene)
{
    showRecording(scene, planningMeeting(), DetailViewTab::waveform);
    scene.vm().trim().startTrimming(current(scene));
    scene.vm().trim().setTrimStartTime(412);
    scene.vm().trim().setTrimEndTime(1290);
    scene.settle();
}

} // namespace

QList<GalleryState> paneGalleryStates()
{
    return {
        {"audio-pane-stored-recording",
         [](GalleryScene& scene) {
             showRecording(scene, planningMeeting(), DetailViewTab::waveform);
             scene.player().advanceTo(642);
         }},
        {"audio-pane-trim-selection", showTrimSelection},
        {"audio-pane-trim-dialog",
         [](GalleryScene& scene) {
             showTrimSelection(scene);
             PlaybackWaveformView* pane = scene.window().findChild<WaveformVisualizerView*>()->playbackView();
             pane->showTrimConfirmation();
             scene.settle();
             TrimConfirmDialog* dialog = pane->trimConfirmation();
             dialog->adjustSize();
             // The dialog over the middle of the window it belongs to.
             QPixmap picture = scene.window().grab();
             QPainter painter(&picture);
             painter.fillRect(picture.rect(), QColor(0, 0, 0, 40));
             const QPixmap box = dialog->grab();
             const QPoint at((picture.width() - box.width()) / 2, (picture.height() - box.height()) / 3);
             painter.drawPixmap(at, box);
             painter.setPen(QColor(0, 0, 0, 60));
             painter.drawRect(QRect(at, box.size()).adjusted(0, 0, -1, -1));
             scene.showPicture(picture);
             dialog->reject();
         }},
        {"live-pane-recording",
         [](GalleryScene& scene) {
             scene.addRecording(planningMeeting());
             scene.open();
             scene.vm().recorder().setActiveRecordingType(RecordingType::brainstorming);
             scene.startRecording(205.7);
             for (int i = 0; i < 140; ++i)
                 scene.recorder().emitWaveformSample(
                     float(std::clamp(0.1 + std::fabs(std::sin(i * 0.37)) * (0.5 + 0.4 * std::sin(i * 0.09)), 0.05, 1.0)));
         }},
        {"transcript-search-match",
         [](GalleryScene& scene) {
             showRecording(scene, planningMeeting(), DetailViewTab::transcript);
             scene.vm().library().setSearchText(QStringLiteral("Budget"));
         }},
        {"transcript-playing",
         [](GalleryScene& scene) {
             const RecordingItem meeting = planningMeeting();
             showRecording(scene, meeting, DetailViewTab::transcript);
             scene.player().play();
             scene.player().advanceTo(meeting.transcriptSegments->at(7).start + 1.0);
             hoverSegment(scene, 9);
         }},
        {"transcript-paused",
         [](GalleryScene& scene) {
             const RecordingItem meeting = planningMeeting();
             showRecording(scene, meeting, DetailViewTab::transcript);
             scene.player().advanceTo(meeting.transcriptSegments->at(2).start + 1.0);
         }},
        {"transcript-no-selection",
         [](GalleryScene& scene) {
             scene.open();
             scene.vm().library().setActiveDetailTab(DetailViewTab::transcript);
         }},
        {"recap-no-selection",
         [](GalleryScene& scene) {
             scene.open();
             scene.vm().library().setActiveDetailTab(DetailViewTab::recap);
         }},
        {"transcript-speech-model-card",
         [](GalleryScene& scene) {
             showRecording(scene, GalleryScene::speechLikeRecording(QStringLiteral("Customer Call: Orbit Labs"), 20, 1312),
                           DetailViewTab::transcript);
         }},
        {"recap-meeting-english",
         [](GalleryScene& scene) {
             RecordingItem item = planningMeeting();
             item.summary = QString::fromUtf8(meetingRecap);
             item.summaryCreatedAt = Date::now();
             showRecording(scene, item, DetailViewTab::recap);
         }},
        {"recap-voice-note-italian",
         [](GalleryScene& scene) { showRecording(scene, voiceNote(), DetailViewTab::recap); }},
        {"recap-card-model-download",
         [](GalleryScene& scene) { showRecording(scene, planningMeeting(), DetailViewTab::recap, false); }},
        {"recap-card-transcribing",
         [](GalleryScene& scene) {
             showRecording(scene, GalleryScene::speechLikeRecording(QStringLiteral("Design Review"), 15, 1530), DetailViewTab::recap);
             scene.vm().processing().transcribeRecording(current(scene));
         }},
        {"recap-card-generating",
         [](GalleryScene& scene) {
             showRecording(scene, planningMeeting(), DetailViewTab::recap);
             scene.vm().processing().generateRecap(current(scene));
         }},
        {"recap-card-transcript-required",
         [](GalleryScene& scene) {
             showRecording(scene, GalleryScene::speechLikeRecording(QStringLiteral("Design Review"), 15, 1530), DetailViewTab::recap);
         }},
        {"recap-card-ready-to-generate",
         [](GalleryScene& scene) { showRecording(scene, planningMeeting(), DetailViewTab::recap); }},
    };
}
