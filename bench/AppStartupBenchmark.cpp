// Start-up benchmark: writes a library of recordings with transcripts into a
// private home, starts the real application on it under the test services and
// prints the milliseconds until its main window is mapped, its resident memory
// ten seconds after the start and, last, the share of one core it uses while
// it sits idle with meeting detection on.
//
//   app_startup_bench [idle seconds (60)] [recordings (1000)] [segments (150)]
//   app_startup_bench --generate <home> [recordings] [segments]   (writes the library only)
//
// It needs a display, a session bus and a sound server; scripts/test starts
// them: `scripts/test --run build/bench/app_startup_bench`.
#include "AppStartupWindowWatch.h"
#include "GeneratedLibrary.h"
#include "GeneratedRecording.h"
#include "ProcessCpu.h"

#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "models/RecordingsStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cmath>
#include <cstdio>

#include <unistd.h>

namespace {

constexpr double kRecordingSeconds = 30;
constexpr int kMemoryAfterMs = 10000;
constexpr int kMapTimeoutMs = 60000;

struct HomeFolders {
    QString home;
    QString config() const { return home + QStringLiteral("/.config"); }
    QString data() const { return home + QStringLiteral("/.local/share"); }
    QString cache() const { return home + QStringLiteral("/.cache"); }
    QString runtime() const { return home + QStringLiteral("/runtime"); }
    QString downloads() const { return home + QStringLiteral("/Downloads"); }
};

// The library as the application keeps it: its index written by its own
// storage, every recording a hard link to one MP3 of the given length.
bool writeLibrary(const HomeFolders& folders, int recordings, int segments)
{
    for (const QString& folder : {folders.config(), folders.data(), folders.cache(), folders.downloads()})
        QDir().mkpath(folder);
    QDir().mkpath(folders.runtime());
    QFile::setPermissions(folders.runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    RecordingsStorage storage(folders.data(), folders.downloads());
    QDir().mkpath(storage.storageDirectory());
    const QString audio = QDir(storage.storageDirectory()).filePath(QStringLiteral(".tone.mp3"));
    GeneratedRecording::write(audio, kRecordingSeconds, 1.0,
                              [](double t) { return 8000 * std::sin(2 * M_PI * 440 * t); });
    const qint64 size = QFileInfo(audio).size();

    QList<RecordingItem> library =
        generatedLibrary({recordings, segments, 120, kRecordingSeconds, kRecordingSeconds});
    for (RecordingItem& item : library) {
        item.fileSizeBytes = size;
        const QByteArray target = QFile::encodeName(QDir(storage.storageDirectory()).filePath(item.fileName));
        if (::link(QFile::encodeName(audio).constData(), target.constData()) != 0) {
            std::printf("cannot link %s\n", target.constData());
            return false;
        }
    }
    QFile::remove(audio);
    storage.save(library);
    if (!storage.waitForSaves(std::chrono::minutes(5)))
        return false;

    Settings settings(QDir(folders.config()).filePath(QStringLiteral("Nimbrel/Nimbrel.ini")));
    settings.setValue(SettingsKeys::autoDetectMeetings, true);
    std::printf("library: %d recordings of %.0f s, %d transcript segments each; index %.1f MB\n", recordings,
                kRecordingSeconds, segments, QFileInfo(storage.metadataFile()).size() / 1e6);
    return true;
}

QByteArray procField(qint64 pid, const char* file, const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed();
    return {};
}

void sleepUntil(const QElapsedTimer& clock, qint64 ms)
{
    const qint64 left = ms - clock.elapsed();
    if (left > 0)
        QThread::msleep(quint64(left));
}

int measure(const QString& executable, int idleSeconds, int recordings, int segments)
{
    for (const char* variable : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SERVER"}) {
        if (qEnvironmentVariableIsEmpty(variable)) {
            std::printf("%s is not set: run it under the test services, "
                        "e.g. scripts/test --run build/bench/app_startup_bench\n",
                        variable);
            return 2;
        }
    }
    QTemporaryDir dir;
    const HomeFolders folders{dir.filePath(QStringLiteral("home"))};
    if (!writeLibrary(folders, recordings, segments))
        return 1;

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folders.home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folders.config());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folders.data());
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), folders.cache());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folders.runtime());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess app;
    app.setProcessEnvironment(environment);
    app.setStandardOutputFile(dir.filePath(QStringLiteral("app.log")));
    app.setProcessChannelMode(QProcess::MergedChannels);

    AppStartupWindowWatch watch;
    if (!watch.isConnected()) {
        std::printf("no X display answers\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    app.start(executable, {});
    if (!app.waitForStarted(10000)) {
        std::printf("cannot start %s\n", qPrintable(executable));
        return 1;
    }
    const bool mapped = watch.waitForMappedWindow(app.processId(), kMapTimeoutMs);
    const qint64 mappedMs = clock.elapsed();
    // On a busy machine the wait says little; the work done until then does.
    const double mainThreadCpu = processCpuSeconds(app.processId(), app.processId());
    const double processCpu = processCpuSeconds(app.processId());
    auto stop = [&] {
        app.terminate();
        if (!app.waitForFinished(15000)) {
            app.kill();
            app.waitForFinished(5000);
        }
    };
    if (!mapped || app.state() != QProcess::Running) {
        stop();
        QFile log(dir.filePath(QStringLiteral("app.log")));
        std::printf("the main window was never mapped; the application said:\n%s\n",
                    log.open(QIODevice::ReadOnly) ? log.readAll().constData() : "");
        return 1;
    }
    std::printf("CPU until then: %.0f ms on the main thread, %.0f ms in all\n", mainThreadCpu * 1000,
                processCpu * 1000);
    std::printf("main window mapped after %lld ms (target at most 400)\n", static_cast<long long>(mappedMs));
    std::fflush(stdout);

    sleepUntil(clock, kMemoryAfterMs);
    const double residentMB = procField(app.processId(), "status", "VmRSS:").split(' ').value(0).toDouble() / 1024;
    std::printf("resident memory after %d s: %.0f MB (target at most 150)\n", kMemoryAfterMs / 1000, residentMB);
    std::fflush(stdout);

    const double cpuBefore = processCpuSeconds(app.processId());
    const qint64 idleStart = clock.elapsed();
    sleepUntil(clock, idleStart + qint64(idleSeconds) * 1000);
    const double cpuAfter = processCpuSeconds(app.processId());
    const double wall = double(clock.elapsed() - idleStart) / 1000;
    const bool stillRunning = app.state() == QProcess::Running;
    stop();
    if (!stillRunning || cpuBefore < 0 || cpuAfter < 0) {
        std::printf("the application ended while idle\n");
        return 1;
    }
    std::printf("idle CPU over %d s with meeting detection on: %.2f %% of one core (target at most 0.3)\n",
                idleSeconds, 100 * (cpuAfter - cpuBefore) / wall);
    return 0;
}

int argumentOr(const QStringList& arguments, int index, int fallback)
{
    bool ok = false;
    const int value = arguments.value(index).toInt(&ok);
    return ok && value >= 0 ? value : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.value(1) == QStringLiteral("--generate")) {
        if (arguments.size() < 3) {
            std::printf("usage: %s --generate <home> [recordings] [segments]\n", argv[0]);
            return 2;
        }
        const HomeFolders folders{QFileInfo(arguments[2]).absoluteFilePath()};
        return writeLibrary(folders, argumentOr(arguments, 3, 1000), argumentOr(arguments, 4, 150)) ? 0 : 1;
    }
    return measure(QStringLiteral(NIMBREL_EXECUTABLE), std::max(1, argumentOr(arguments, 1, 60)),
                   argumentOr(arguments, 2, 1000), argumentOr(arguments, 3, 150));
}
