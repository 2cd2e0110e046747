// Transcript pane benchmark: a recording whose transcript has 5,000 timed
// segments (realistic lengths, a vocabulary of a few thousand words) is
// selected while the Transcript tab is open, in the detail area of an
// offscreen window over the view model with stand-in collaborators. Timed:
// from the selection until the list is painted, and from marking one visible
// segment as the highlighted one until it is painted again; also a search
// that highlights about a tenth of the rows. Each figure is the median of
// several runs, after a warm-up.
// The last line gives the show and the highlight update in milliseconds.
#include "StandInCollaborators.h"

#include "common/Settings.h"
#include "engines/recap/RecapEngine.h"
#include "engines/speech/WhisperEngine.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/detail/PlaybackTranscriptView.h"
#include "views/detail/TranscriptContentView.h"
#include "views/detail/TranscriptSegmentList.h"
#include "views/detail/TranscriptSegmentModel.h"
#include "views/detail/WaveformVisualizerView.h"
#include "views/style/Style.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSegments = 5000;
constexpr int kRuns = 7;

// Words of varied length drawn from a fixed seed, so every run sees the same text.
QStringList vocabulary(QRandomGenerator& random)
{
    QStringList words;
    const QString letters = QStringLiteral("etaoinshrdlucmfwypvbgkjqxz");
    for (int i = 0; i < 3000; ++i) {
        QString word;
        const int length = 2 + int(random.bounded(9));
        for (int k = 0; k < length; ++k)
            word += letters.at(int(std::min<quint32>(random.bounded(26u), random.bounded(26u))));
        words.append(word);
    }
    words.append(QStringLiteral("budget"));
    return words;
}

QList<TranscriptSegment> segments()
{
    QRandomGenerator random(20260101);
    const QStringList words = vocabulary(random);
    QList<TranscriptSegment> list;
    double start = 0;
    for (int i = 0; i < kSegments; ++i) {
        QStringList sentence;
        const int count = 4 + int(random.bounded(36));
        for (int k = 0; k < count; ++k)
            sentence.append(random.bounded(100) < 3 ? QStringLiteral("budget") : words.at(int(random.bounded(2999u))));
        sentence.first()[0] = sentence.first().at(0).toUpper();
        const double length = 1.5 + count * 0.3;
        list.append({QUuid::createUuid(), start, start + length, sentence.join(QLatin1Char(' ')) + QLatin1Char('.')});
        start += length + 0.2;
    }
    return list;
}

RecordingItem recording(const QString& title, RecordingsStorage& storage, const QList<TranscriptSegment>& parts)
{
    RecordingItem item;
    item.id = QUuid::createUuid();
    item.title = title;
    item.fileName = title + QStringLiteral(".mp3");
    item.createdAt = Date::now();
    item.duration = parts.isEmpty() ? 10 : parts.last().end;
    item.fileSizeBytes = 4096;
    item.waveformSamples = QList<float>(120, 0.5f);
    QStringList text;
    for (const TranscriptSegment& segment : parts)
        text.append(segment.text);
    item.transcript = text.join(QLatin1Char(' '));
    item.transcriptSegments = parts;
    QDir().mkpath(QFileInfo(storage.fileURL(item)).absolutePath());
    QFile file(storage.fileURL(item));
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(4096, 'a'));
    return item;
}

// Runs the event loop until nothing is pending, so layouts and paints are done.
void settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millisecondsOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("NIMBREL_NO_ANIMATIONS", "1");
    QApplication app(argc, argv);
    Style::apply(app);

    RecordingsStorage storage(home.filePath(QStringLiteral("support")), home.filePath(QStringLiteral("Downloads")));
    Settings settings(home.filePath(QStringLiteral("settings.ini")));
    const RecordingItem small = recording(QStringLiteral("Short call"), storage,
                                          {{QUuid::createUuid(), 0, 2, QStringLiteral("Hello there.")}});
    const RecordingItem large = recording(QStringLiteral("All-day workshop"), storage, segments());
    storage.save({small, large});
    storage.waitForSaves();

    RecordingViewModel vm(standInCollaborators(storage, settings, home.filePath(QStringLiteral("models"))));
    vm.library().awaitLibrary(std::chrono::seconds(60));
    WhisperEngine whisper;
    RecapEngine recap;

    WaveformVisualizerView area(vm, {&whisper, &settings, &recap});
    area.resize(1000, 720);
    area.show();
    vm.library().setActiveDetailTab(DetailViewTab::transcript);
    settle();

    auto select = [&](const RecordingItem& item) {
        vm.library().setSelectedRecording(item);
        settle();
    };
    auto list = [&] { return area.transcriptView()->playbackView()->segmentList(); };

    // Warm-up: fonts, glyphs and word widths are measured once per process.
    select(large);
    select(small);

    std::vector<double> shows, highlights, searches;
    for (int run = 0; run < kRuns; ++run) {
        select(small);
        shows.push_back(millisecondsOf([&] {
            vm.library().setSelectedRecording(large);
            settle();
            list()->viewport()->repaint();
        }));
        TranscriptSegmentModel* model = list()->segmentModel();
        const QUuid visible = model->segments().at(3 + run).id;
        highlights.push_back(millisecondsOf([&] {
            model->setActiveSegmentId(visible);
            settle();
        }));
        searches.push_back(millisecondsOf([&] {
            vm.library().setSearchText(run % 2 ? QStringLiteral("BUDGET") : QStringLiteral("budget "));
            settle();
        }));
        vm.library().setSearchText(QString());
        settle();
    }
    if (list()->segmentModel()->rowCount() != kSegments) {
        std::fprintf(stderr, "the list holds %d rows\n", list()->segmentModel()->rowCount());
        return 1;
    }

    std::printf("search highlighting about a tenth of %d rows: %.2f ms (median of %d)\n", kSegments, median(searches),
                kRuns);
    std::printf("transcript pane, %d segments: show %.2f ms (target 50), "
                "highlighted segment update %.2f ms (target 5)\n",
                kSegments, median(shows), median(highlights));
    return 0;
}
