// Sidebar benchmark: the library column over the view model with stand-in
// collaborators and a library of 10,000 recordings (120-bar waveforms, 150
// transcript segments each, the transcript their joined text), offscreen.
// The detail panes are left out: what they draw for a selection is theirs.
//  - Renames: 50 recordings are renamed as a user does it (double click on the
//    row, type, Return) while a 1 ms heartbeat timer runs on the GUI thread;
//    the figure is the longest gap between two beats (target 20 ms).
//  - Search: one character typed into the search field, timed until the list
//    has been painted again; the figure is the slowest keystroke of typing a
//    few queries letter by letter, and then deleting them (target 20 ms).
// "sidebar_bench 2000" runs a smaller library for a quick look.
// The last line gives both figures.
#include "StandInCollaborators.h"
#include "GuiHeartbeat.h"

#include "common/Settings.h"
#include "models/RecordingsStorage.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/logic/RecordingListModel.h"
#include "views/sidebar/InlineRenameField.h"
#include "views/sidebar/RecordingList.h"
#include "views/sidebar/SearchBox.h"
#include "views/sidebar/SidebarView.h"
#include "views/style/Style.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int kRecordings = 10000;
constexpr int kSegments = 150;
constexpr int kRenames = 50;

QList<RecordingItem> makeLibrary()
{
    static const QStringList words = QStringLiteral(
        "we should ship the release on friday after the review and then plan next sprint budget "
        "customer feedback looks good overall but latency needs work before launch hiring roadmap "
        "design onboarding pricing migration incident retro marketing numbers quarter")
                                         .split(QLatin1Char(' '));
    QRandomGenerator random(7);
    QList<RecordingItem> items;
    items.reserve(kRecordings);
    const double now = Date::now().unixSeconds();
    for (int i = 0; i < kRecordings; ++i) {
        RecordingItem item;
        item.id = QUuid::createUuid();
        item.title = QStringLiteral("Meeting %1").arg(kRecordings - i);
        item.fileName = item.title + QStringLiteral(".mp3");
        item.createdAt = Date::fromUnixSeconds(now - 3600.0 * (i + 1));
        item.duration = 60 + random.generateDouble() * 3600;
        item.fileSizeBytes = qint64(item.duration * 24000);
        for (int bar = 0; bar < 120; ++bar)
            item.waveformSamples.append(0.1f + float(random.generateDouble()) * 0.8f);
        QList<TranscriptSegment> segments;
        QStringList text;
        double start = 0;
        for (int s = 0; s < kSegments; ++s) {
            QStringList sentence;
            const int count = 5 + int(random.bounded(8));
            for (int w = 0; w < count; ++w)
                sentence.append(words[int(random.bounded(words.size()))]);
            const double end = start + 1 + random.generateDouble() * 6;
            segments.append({QUuid::createUuid(), start, end, sentence.join(QLatin1Char(' '))});
            text.append(segments.last().text);
            start = end;
        }
        item.transcript = text.join(QLatin1Char(' '));
        item.transcriptSegments = segments;
        items.append(std::move(item));
    }
    return items;
}

// Runs the event loop until nothing is pending, so layouts and paints are done.
void settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}


void waitMs(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        kRecordings = std::max(100, std::atoi(argv[1]));
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
    storage.save(makeLibrary());
    storage.waitForSaves();

    RecordingViewModel vm(standInCollaborators(storage, settings, home.filePath(QStringLiteral("models"))));
    vm.library().awaitLibrary(std::chrono::seconds(60));
    if (vm.library().recordings().size() != kRecordings) {
        std::fprintf(stderr, "the library holds %lld recordings\n",
                     static_cast<long long>(vm.library().recordings().size()));
        return 1;
    }

    SidebarView sidebar(vm);
    sidebar.resize(280, 680);
    sidebar.show();
    settle();
    waitMs(100);
    RecordingList& list = *sidebar.list();

    // Renames, as the user makes them, among the rows on screen.
    GuiHeartbeat heartbeat;
    heartbeat.start();
    for (int i = 0; i < kRenames; ++i) {
        const int row = 1 + i % 8;
        const QRect area = list.partRect(row, RecordingList::Part::row);
        const QPoint point(area.left() + 20, area.center().y());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
        const QUuid id = *sidebar.listModel().idAt(row);
        InlineRenameField* field = nullptr;
        if (!waitFor([&] { return (field = sidebar.renameField(id)) && field->hasFocus(); })) {
            std::fprintf(stderr, "the rename field of row %d did not open\n", row);
            return 1;
        }
        QTest::keyClicks(field, QStringLiteral("Renamed %1").arg(i));
        QTest::keyClick(field, Qt::Key_Return);
        waitMs(20);
    }
    const double renameStall = heartbeat.stopMs();
    if (!vm.library().recordings().at(1).title.startsWith(QStringLiteral("Renamed"))) {
        std::fprintf(stderr, "the renames did not arrive\n");
        return 1;
    }
    storage.waitForSaves();

    // Search: each keystroke, until the list is painted again.
    QLineEdit* field = sidebar.searchBox()->field();
    field->setFocus();
    settle();
    std::vector<double> keystrokes;
    for (const QString& query : {QStringLiteral("budget"), QStringLiteral("meeting 42"), QStringLiteral("zq")}) {
        for (const QChar letter : query) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(field, letter.toLatin1());
            settle();
            list.viewport()->repaint();
            keystrokes.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        for (qsizetype i = 0; i < query.size(); ++i) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(field, Qt::Key_Backspace);
            settle();
            list.viewport()->repaint();
            keystrokes.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    // Other work on the machine stretches every figure: say how busy it was.
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("machine load (1, 5, 15 min): %s\n", load.readLine(64).split(' ').mid(0, 3).join(", ").constData());
    std::vector<double> sorted = keystrokes;
    std::sort(sorted.begin(), sorted.end());
    std::printf("search keystrokes in %d recordings: median %.2f ms, slowest %.2f ms over %zu keystrokes\n",
                kRecordings, sorted[sorted.size() / 2], sorted.back(), sorted.size());
    std::printf("sidebar, %d recordings: longest GUI stall during %d renames %.2f ms (target 20), "
                "slowest search keystroke to painted list %.2f ms (target 20)\n",
                kRecordings, kRenames, renameStall, sorted.back());
    return 0;
}
