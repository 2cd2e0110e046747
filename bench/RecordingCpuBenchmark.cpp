// Recording benchmark: starts the real application in a private home under
// the test services, presses its record button, plays a tone into the test
// output and another into the test microphone, and prints the share of one
// core the whole process uses while it records with its window shown,
// minimised and hidden to the tray; the last line is the shown figure.
//
//   recording_cpu_bench [seconds per look (60)] [rounds (1)]
//
// NIMBREL_BENCH_SECONDS sets the seconds per look when no argument does, for
// a shorter trial run.
//
// Each round measures the three looks one after the other; with more rounds
// each figure is their median, so one busy moment of the machine does not
// move it. CPU time is read from /proc, so other work on the machine does
// not count. It needs a display with a window manager, a session bus and a
// sound server: `scripts/test --run build/bench/recording_cpu_bench`.
#include "ProcessCpu.h"

#include "TonePlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kSettleMs = 3000;
constexpr int kRecordButtonFromBottom = 42; // the transport bar is 84 high, the button centred in it

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(15000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(100);
    }
    return true;
}

// Whether a tray host owns the tray selection of screen 0.
bool trayIsThere()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const char name[] = "_NET_SYSTEM_TRAY_S0";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    bool owned = false;
    if (atom) {
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner && owner->owner != XCB_NONE;
        free(owner);
        free(atom);
    }
    xcb_disconnect(connection);
    return owned;
}

// The number of the process's record streams on the sound server.
int captureStreams(qint64 pid)
{
    const QString needle = QStringLiteral("application.process.id = \"%1\"").arg(pid);
    return int(run(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("source-outputs")}).count(needle));
}

class Bench {
public:
    explicit Bench(const QString& home)
        : m_home(home)
    {
    }

    int run(int secondsPerLook, int rounds);

private:
    bool startApp(QProcess& process);
    QStringList visibleWindows() const;
    static QSize windowSize(const QString& window);
    QString findMainWindow() const;
    bool isShown() const;
    bool isIconic() const;
    void press(const QString& keys) const;
    // CPU share of one core over `seconds`: of the process, and of its GUI thread.
    std::pair<double, double> measure(int seconds) const;

    QString m_home;
    QProcess m_app;
    qint64 m_pid = 0;
    QString m_window;
};

bool Bench::startApp(QProcess& process)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home + QStringLiteral("/runtime"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("NIMBREL_NO_ANIMATIONS"));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(m_home + QStringLiteral("/app.log"), QIODevice::Append);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(NIMBREL_EXECUTABLE), {});
    return process.waitForStarted(10000);
}

QStringList Bench::visibleWindows() const
{
    return ::run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--pid"), QString::number(m_pid), QStringLiteral("--name"),
                                             QStringLiteral("^Nimbrel$")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QSize Bench::windowSize(const QString& window)
{
    const QString geometry =
        ::run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    return QSize(geometry.section(QStringLiteral("WIDTH="), 1).section(QLatin1Char('\n'), 0, 0).toInt(),
                 geometry.section(QStringLiteral("HEIGHT="), 1).section(QLatin1Char('\n'), 0, 0).toInt());
}

// The main window, not the tray item's own small window of the same name.
QString Bench::findMainWindow() const
{
    for (const QString& window : visibleWindows()) {
        if (windowSize(window).width() > 200)
            return window;
    }
    return {};
}

bool Bench::isShown() const
{
    return visibleWindows().contains(m_window);
}

bool Bench::isIconic() const
{
    return ::run(QStringLiteral("xprop"), {QStringLiteral("-id"), m_window, QStringLiteral("WM_STATE")})
        .contains(QStringLiteral("Iconic"));
}

void Bench::press(const QString& keys) const
{
    ::run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_window});
    ::run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

std::pair<double, double> Bench::measure(int seconds) const
{
    QThread::msleep(kSettleMs);
    const double processBefore = processCpuSeconds(m_pid);
    const double guiBefore = processCpuSeconds(m_pid, m_pid);
    QElapsedTimer clock;
    clock.start();
    QThread::msleep(quint64(seconds) * 1000);
    const double processAfter = processCpuSeconds(m_pid);
    const double guiAfter = processCpuSeconds(m_pid, m_pid);
    const double wall = double(clock.elapsed()) / 1000;
    if (processBefore < 0 || processAfter < 0)
        return {-1, -1};
    return {100 * (processAfter - processBefore) / wall, 100 * (guiAfter - guiBefore) / wall};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Bench::run(int secondsPerLook, int rounds)
{
    QDir().mkpath(m_home + QStringLiteral("/runtime"));
    QFile::setPermissions(m_home + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A tray host, so that closing the window hides it to the tray.
    QProcess tray;
    tray.setStandardOutputFile(QProcess::nullDevice());
    tray.setStandardErrorFile(QProcess::nullDevice());
    tray.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                                          QStringLiteral("right"), QStringLiteral("--height"), QStringLiteral("24")});
    if (!tray.waitForStarted(5000) || !waitUntil(trayIsThere, 10000)) {
        std::printf("no tray host (trayer) came up\n");
        return 2;
    }
    auto cleanUp = [&] {
        for (QProcess* process : {&m_app, &tray}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(15000)) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    };
    auto fail = [&](const char* what) {
        std::printf("%s\n", what);
        QFile log(m_home + QStringLiteral("/app.log"));
        if (log.open(QIODevice::ReadOnly))
            std::printf("the application said:\n%s\n", log.readAll().constData());
        cleanUp();
        return 1;
    };

    if (!startApp(m_app))
        return fail("cannot start the application");
    m_pid = m_app.processId();
    if (!waitUntil([&] { return !(m_window = findMainWindow()).isEmpty(); }, 60000))
        return fail("the main window was never shown");

    const int recordingSeconds = rounds * 3 * (secondsPerLook + kSettleMs / 1000 + 3) + 30;
    auto systemTone = playTone(m_home, QStringLiteral("test_sink"), 440, recordingSeconds);
    auto micTone = playTone(m_home, QStringLiteral("mic_feed"), 660, recordingSeconds);
    if (!systemTone || !micTone)
        return fail("could not write the tones");

    // The record button: centred in the transport bar at the bottom of the window.
    const QSize size = windowSize(m_window);
    ::run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_window});
    ::run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), m_window,
                                      QString::number(size.width() / 2), QString::number(size.height() - kRecordButtonFromBottom),
                                      QStringLiteral("click"), QStringLiteral("1")});
    // Out of the way: a pointer resting on a button would keep its hover look.
    ::run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
    if (!waitUntil([&] { return captureStreams(m_pid) >= 2; }, 15000))
        return fail("pressing the record button did not start a recording of both sources");
    std::printf("recording microphone and system audio with tones playing, %d s per look, %d round(s)\n",
                secondsPerLook, rounds);
    std::fflush(stdout);

    std::vector<double> shown, minimised, hidden;
    auto report = [](const char* look, std::pair<double, double> share) {
        std::printf("  %-15s %5.2f %% of one core (GUI thread %.2f %%)\n", look, share.first, share.second);
        std::fflush(stdout);
        return share.first;
    };
    for (int round = 0; round < rounds; ++round) {
        shown.push_back(report("shown", measure(secondsPerLook)));

        ::run(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QStringLiteral("--sync"), m_window});
        if (!waitUntil([&] { return isIconic(); }, 5000))
            return fail("the window did not minimise");
        minimised.push_back(report("minimised", measure(secondsPerLook)));

        ::run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_window});
        if (!waitUntil([&] { return isShown() && !isIconic(); }, 5000))
            return fail("the window did not come back from the minimised state");
        press(QStringLiteral("alt+F4"));
        if (!waitUntil([&] { return !isShown(); }, 5000))
            return fail("closing the window did not hide it to the tray");
        hidden.push_back(report("hidden to tray", measure(secondsPerLook)));

        // A second start brings the running instance's window forward.
        QProcess again;
        if (!startApp(again) || !again.waitForFinished(10000))
            return fail("a second start did not return");
        if (!waitUntil([&] { return isShown(); }, 5000))
            return fail("the hidden window did not come back");
        ::run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
    }
    if (captureStreams(m_pid) < 2)
        return fail("the recording stopped on the way");

    // Quitting saves the recording in progress.
    press(QStringLiteral("ctrl+q"));
    if (!m_app.waitForFinished(20000))
        std::printf("the application did not quit within 20 s\n");
    systemTone->kill();
    micTone->kill();
    systemTone->waitForFinished();
    micTone->waitForFinished();
    cleanUp();

    std::printf("minimised CPU share of one core: %.2f %% (target at most 1.5)\n", median(minimised));
    std::printf("hidden to tray CPU share of one core: %.2f %% (target at most 1.5)\n", median(hidden));
    std::printf("shown CPU share of one core: %.2f %% (target at most 3)\n", median(shown));
    return 0;
}

int argumentOr(const QStringList& arguments, int index, int fallback)
{
    bool ok = false;
    const int value = arguments.value(index).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    for (const char* variable : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SERVER"}) {
        if (qEnvironmentVariableIsEmpty(variable)) {
            std::printf("%s is not set: run it under the test services, "
                        "e.g. scripts/test --run build/bench/recording_cpu_bench\n",
                        variable);
            return 2;
        }
    }
    const QStringList arguments = QCoreApplication::arguments();
    QTemporaryDir dir;
    Bench bench(dir.filePath(QStringLiteral("home")));
    bool fromEnvironment = false;
    const int secondsFromEnvironment = qEnvironmentVariableIntValue("NIMBREL_BENCH_SECONDS", &fromEnvironment);
    const int defaultSeconds = fromEnvironment && secondsFromEnvironment > 0 ? secondsFromEnvironment : 60;
    return bench.run(argumentOr(arguments, 1, defaultSeconds), argumentOr(arguments, 2, 1));
}
