// Start-up repair benchmark: a library of 100 ten-minute recordings whose
// stored waveforms are flat, so the pass reads every file back. The files
// are hard links to one generated MP3. The view model runs over stand-in
// collaborators; a 1 ms heartbeat timer runs on the GUI thread meanwhile.
// Prints the whole pass's time, the longest stall of an idle event loop on
// this machine for comparison (a loaded or virtual machine holds the whole
// process back now and then), then LAST the longest GUI-thread stall during
// the pass on the wall clock and the longest single event the GUI thread
// handled meanwhile (target 20 ms). "repair_bench 10" runs a smaller library.
#include "GeneratedRecording.h"
#include "GuiHeartbeat.h"
#include "StandInCollaborators.h"

#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/RepairRules.h"
#include "viewmodels/StartupRepair.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

constexpr double kRecordingSeconds = 600;
constexpr int kIdleSeconds = 30;

// Times every event the GUI thread handles: what our own code holds it for,
// apart from the machine holding the whole process back.
class TimedApplication : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!measuring || QThread::currentThread() != thread())
            return QCoreApplication::notify(receiver, event);
        QElapsedTimer timer;
        timer.start();
        const bool handled = QCoreApplication::notify(receiver, event);
        longestEventNs = std::max(longestEventNs, timer.nsecsElapsed());
        return handled;
    }

    bool measuring = false;
    qint64 longestEventNs = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    TimedApplication app(argc, argv);
    const int recordings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;

    QTemporaryDir home;
    RecordingsStorage storage(home.filePath(QStringLiteral("support")), home.filePath(QStringLiteral("Downloads")));
    Settings settings(home.filePath(QStringLiteral("settings.ini")));

    // Speech-like loudness: phrases of a few seconds with pauses between.
    const QString source = home.filePath(QStringLiteral("source.mp3"));
    GeneratedRecording::write(source, kRecordingSeconds, 0.9, [](double t) {
        const double phrase = std::fmod(t, 7.0) < 5.0 ? 0.3 + 0.5 * std::fabs(std::sin(t * 0.9)) : 0.02;
        return 16000 * phrase * std::sin(2 * M_PI * 220 * t);
    });
    const qint64 size = QFileInfo(source).size();

    QList<RecordingItem> library;
    for (int i = 0; i < recordings; ++i) {
        RecordingItem item;
        item.id = QUuid::createUuid();
        item.title = QStringLiteral("Meeting %1").arg(recordings - i);
        item.fileName = QStringLiteral("Meeting_%1.mp3").arg(recordings - i);
        item.createdAt = Date::fromUnixSeconds(Date::now().unixSeconds() - 3600.0 * (i + 1));
        item.duration = kRecordingSeconds;
        item.fileSizeBytes = size;
        item.waveformSamples = QList<float>(RepairRules::barsPerWaveform, 0.5f);
        const QString path = storage.fileURL(item);
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(path).constData()) != 0) {
            std::fprintf(stderr, "could not link %s\n", qPrintable(path));
            return 1;
        }
        library.append(item);
    }
    storage.save(library);
    storage.waitForSaves();

    // What the machine alone costs the GUI thread: the same heartbeat over an
    // idle event loop, for comparison.
    GuiHeartbeat heartbeat;
    double idleStall = 0;
    {
        QEventLoop idle;
        QTimer::singleShot(kIdleSeconds * 1000, &idle, &QEventLoop::quit);
        heartbeat.start();
        idle.exec();
        idleStall = heartbeat.stopMs();
    }

    RecordingViewModel vm(standInCollaborators(storage, settings, home.filePath(QStringLiteral("models"))));
    vm.library().awaitLibrary(std::chrono::seconds(60));
    if (vm.library().recordings().size() != recordings) {
        std::fprintf(stderr, "the library holds %lld recordings\n",
                     static_cast<long long>(vm.library().recordings().size()));
        return 1;
    }

    // The pass starts once the event loop runs.
    QEventLoop loop;
    QObject::connect(&vm.startupRepair(), &StartupRepair::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    heartbeat.start();
    app.measuring = true;
    loop.exec();
    app.measuring = false;
    const double totalSeconds = double(clock.nsecsElapsed()) / 1e9;
    const double stall = heartbeat.stopMs();
    storage.waitForSaves();

    int repaired = 0;
    for (const RecordingItem& item : vm.library().recordings())
        repaired += RepairRules::waveformNeedsRepair(item.waveformSamples) ? 0 : 1;
    if (repaired != recordings) {
        std::fprintf(stderr, "only %d of %d waveforms were repaired\n", repaired, recordings);
        return 1;
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("machine load (1, 5, 15 min): %s\n", load.readLine(64).split(' ').mid(0, 3).join(", ").constData());
    std::printf("start-up repair of %d ten-minute recordings: %.1f s in all, %.0f ms per recording\n", recordings,
                totalSeconds, totalSeconds * 1000 / recordings);
    std::printf("idle event loop for %d s before the pass: longest GUI-thread stall %.2f ms\n", kIdleSeconds,
                idleStall);
    std::printf("start-up repair of %d recordings: longest GUI-thread stall %.2f ms on the wall clock, "
                "longest single GUI-thread event %.2f ms (target 20)\n",
                recordings, stall, double(app.longestEventNs) / 1e6);
    return 0;
}
