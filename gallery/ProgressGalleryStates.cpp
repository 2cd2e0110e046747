#include "ProgressGalleryStates.h"

#include "audio/ToneFiles.h"
#include "engines/recap/RecapEngine.h"
#include "engines/speech/WhisperEngine.h"
#include "FakeEnhancer.h"
#include "FakeTranscriber.h"
#include "FakeTrimmer.h"
#include "models/RecordingsStorage.h"
#include "support/LoopbackHttpServer.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/TrimSession.h"
#include "views/badges/WhisperStatusBadge.h"
#include "views/detail/ModelDownloadCard.h"
#include "views/detail/NoticeCard.h"
#include "views/detail/TranscriptCards.h"
#include "views/style/Style.h"
#include "views/window/MainWindow.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QUuid>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace {

const QString speechModelPath = QStringLiteral("/ggerganov/whisper.cpp/resolve/main/ggml-large-v3-turbo-q5_0.bin");
const QString recapModelPath = QStringLiteral("/ggml-org/gemma-3-1b-it-GGUF/resolve/main/gemma-3-1b-it-Q4_K_M.gguf");

// A library of three and `more` with `shown` selected on `tab`.
RecordingItem showLibrary(GalleryScene& scene, const RecordingItem& shown, DetailViewTab tab,
                          const QList<RecordingItem>& more = {})
{
    scene.setRecapModelPresent(true);
    scene.addRecording(shown);
    for (const RecordingItem& item : more)
        scene.addRecording(item);
    scene.addRecording(GalleryScene::speechLikeRecording(QStringLiteral("Weekly Standup"), 60 * 26, 912));
    scene.addRecording(GalleryScene::speechLikeRecording(QStringLiteral("Interview with Dana"), 60 * 50, 2710));
    scene.open();
    RecordingItem selected = scene.vm().library().recordings().first();
    for (const RecordingItem& item : scene.vm().library().recordings()) {
        if (item.id == shown.id)
            selected = item;
    }
    scene.vm().library().selectRecording(selected);
    scene.vm().library().setActiveDetailTab(tab);
    scene.settle();
    return selected;
}

bool waitUntil(GalleryScene& scene, const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        scene.settle(20);
    }
    return true;
}

// Model hosts on the loopback: one that stops sending at 40% and keeps the
// connection open, one that cuts the connection there.
LoopbackHttpServer& host(bool stalls)
{
    static LoopbackHttpServer stalling;
    static LoopbackHttpServer cutting;
    LoopbackHttpServer& server = stalls ? stalling : cutting;
    for (const auto& [path, signature] : {std::pair{speechModelPath, QByteArrayLiteral("lmgg")},
                                          std::pair{recapModelPath, QByteArrayLiteral("GGUF")}}) {
        LoopbackHttpServer::Response response;
        response.body = signature + QByteArray(1000000, 'm');
        response.sendOnly = 400000;
        response.stallAfterPartialBody = stalls;
        server.setResponse(path, response);
    }
    return server;
}

// The speech model's badge and card and the recap model's card, over
// engines of their own whose downloads go to `server`.
void showDownloads(GalleryScene& scene, LoopbackHttpServer& server, bool failed)
{
    // Left by an earlier picture, it would make the recap model ready.
    scene.setRecapModelPresent(false);
    auto page = std::make_unique<QWidget>();
    page->setObjectName(QStringLiteral("downloadsPage"));
    page->setFixedSize(760, 760);
    page->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(page.get());
    column->setContentsMargins(24, 20, 24, 20);
    column->setSpacing(16);

    qputenv("NIMBREL_MODEL_HOST", server.url(QString()).toString().toUtf8());
    auto* whisper = new WhisperEngine(page.get());
    auto* recap = new RecapEngine(page.get());
    whisper->downloadTurboModel();
    recap->downloadModel();
    const auto settled = [&] {
        if (failed)
            return whisper->modelState().is(WhisperModelState::Case::error)
                && recap->modelState().kind() == RecapModelState::Kind::error;
        return whisper->modelState().progress > 0.3 && recap->modelState().progress() > 0.3;
    };
    waitUntil(scene, settled, 10000);
    qunsetenv("NIMBREL_MODEL_HOST");

    auto* badgeRow = new QHBoxLayout;
    badgeRow->addStretch(1);
    badgeRow->addWidget(new WhisperStatusBadge(*whisper, false));
    badgeRow->addWidget(new WhisperStatusBadge(*whisper, true));
    column->addLayout(badgeRow);
    QPushButton* retry = nullptr;
    column->addWidget(failed ? TranscriptCards::downloadFailed(whisper->modelState(), retry)
                             : TranscriptCards::downloading(whisper->modelState()));
    column->addWidget(new ModelDownloadCard(*recap), 1);
    scene.showInstead(std::move(page));
}

} // namespace

QList<GalleryState> progressGalleryStates()
{
    return {
        {"progress-trim",
         [](GalleryScene& scene) {
             const RecordingItem shown = showLibrary(scene, GalleryScene::speechLikeRecording(QStringLiteral("Customer Call: Orbit Labs"), 20, 1312),
                                                     DetailViewTab::waveform);
             scene.vm().trim().startTrimming(shown);
             scene.vm().trim().setTrimStartTime(95);
             scene.vm().trim().setTrimEndTime(1020);
             scene.vm().trim().executeTrim(true);
             scene.trimmer().requests.first().onProgress(0.42);
             scene.settle();
         }},
        {"progress-merge",
         [](GalleryScene& scene) {
             RecordingItem first = GalleryScene::speechLikeRecording(QStringLiteral("Design Review, part 1"), 40, 90);
             RecordingItem second = GalleryScene::speechLikeRecording(QStringLiteral("Design Review, part 2"), 20, 90);
             const RecordingItem source = showLibrary(scene, first, DetailViewTab::waveform, {second});
             // Real audio for the real merger, long enough to be caught at work.
             for (const RecordingItem& item : {first, second})
                 ToneFiles::write(scene.storage().fileURL(item), {{90, 440}});
             scene.vm().merge().startMergeMode(source);
             for (const RecordingItem& item : scene.vm().library().recordings()) {
                 if (item.id == second.id)
                     scene.vm().merge().toggleMergeSelection(item);
             }
             scene.vm().merge().executeMerge();
             waitUntil(scene, [&] {
                 const QString line = scene.vm().merge().mergeProgressText().value_or(QString());
                 return line.startsWith(QStringLiteral("Merging recording 2")) && line.endsWith(QLatin1Char('%'));
             }, 20000);
         }},
        {"progress-transcription",
         [](GalleryScene& scene) {
             const RecordingItem shown = showLibrary(scene, GalleryScene::speechLikeRecording(QStringLiteral("Design Review"), 15, 1530),
                                                     DetailViewTab::transcript);
             scene.vm().processing().transcribeRecording(shown);
             scene.transcriber().calls.progress(0, 37, 100);
             scene.settle();
         }},
        {"progress-enhancement",
         [](GalleryScene& scene) {
             const RecordingItem shown = showLibrary(scene, GalleryScene::speechLikeRecording(QStringLiteral("Podcast Intro Take 3"), 12, 640),
                                                     DetailViewTab::waveform);
             scene.vm().processing().enhanceRecording(shown);
             scene.enhancer().calls.progress(0, 5, 8);
             scene.settle();
         }},
        {"progress-model-downloads", [](GalleryScene& scene) { showDownloads(scene, host(true), false); }},
        {"progress-model-downloads-failed", [](GalleryScene& scene) { showDownloads(scene, host(false), true); }},
    };
}
