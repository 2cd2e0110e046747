// A merge, an in-place cut or an enhancement killed (SIGKILL) while it writes,
// then a new start: no half file is listed, no scratch file remains, and the
// recordings, their audio and their texts are as they were. The edit and the
// new start each run in a process of their own: this test program again,
// running only the child case below.

#include "ViewModelFixture.h"

#include "audio/ToneFiles.h"
#include "common/ScratchFileName.h"
#include "support/TestFiles.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/MergeSession.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/StartupRepair.h"
#include "viewmodels/TrimSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

#include <cstdio>
#include <tuple>

namespace {

const char* const kLibraryVariable = "NIMBREL_KILLED_EDIT_LIBRARY";
const char* const kStepVariable = "NIMBREL_KILLED_EDIT_STEP";
const QByteArray kWritingLine = "killed-edit: writing";
const QByteArray kStartedLine = "killed-edit: started";

class KilledEdit : public ViewModelFixture {
protected:
    void SetUp() override
    {
        const QString library = qEnvironmentVariable(kLibraryVariable);
        if (library.isEmpty()) {
            ViewModelFixture::SetUp();
            return;
        }
        // A child works on the library of the test that started it.
        m_storage = std::make_unique<RecordingsStorage>(library, m_dir.filePath(QStringLiteral("Downloads")));
        m_settings = std::make_unique<Settings>(m_dir.filePath(QStringLiteral("settings.ini")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("models")));
        m_useRealTrimmer = true;
        m_useRealEnhancer = true;
    }

    QStringList folderEntries() const
    {
        return QDir(m_storage->storageDirectory()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // Runs the child case with `step`; for an edit, kills it once its scratch
    // file holds audio. The lines the child printed.
    QByteArray runChild(const QString& step)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kLibraryVariable), m_dir.filePath(QStringLiteral("support")));
        environment.insert(QString::fromLatin1(kStepVariable), step);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=KilledEdit.ChildStep")});
        EXPECT_TRUE(child.waitForStarted());
        QByteArray output;
        const QByteArray awaited = step == QLatin1String("start") ? kStartedLine : kWritingLine;
        QElapsedTimer clock;
        clock.start();
        while (!output.contains(awaited) && child.state() == QProcess::Running && clock.elapsed() < 120000) {
            child.waitForReadyRead(100);
            output += child.readAll();
        }
        EXPECT_TRUE(output.contains(awaited)) << output.toStdString();
        if (step != QLatin1String("start")) {
            child.kill(); // SIGKILL: no destructor, no clean-up
            child.waitForFinished();
            EXPECT_EQ(child.exitStatus(), QProcess::CrashExit) << output.toStdString();
        } else {
            EXPECT_TRUE(child.waitForFinished(30000));
            EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        }
        return output + child.readAll();
    }
};

TEST_F(KilledEdit, ChildStep)
{
    const QString step = qEnvironmentVariable(kStepVariable);
    if (step.isEmpty())
        GTEST_SKIP() << "run by the other cases in a process of its own";

    RecordingViewModel& vm = makeViewModel();
    if (step == QLatin1String("start")) {
        QSignalSpy finished(&vm.startupRepair(), &StartupRepair::finished);
        ASSERT_TRUE(finished.wait(30000));
        ASSERT_TRUE(m_storage->waitForSaves());
        std::printf("%s\n", kStartedLine.constData());
        std::fflush(stdout);
        return;
    }

    const QList<RecordingItem> library = vm.library().recordings();
    ASSERT_EQ(library.size(), 2);
    if (step == QLatin1String("merge")) {
        vm.merge().startMergeMode(library[0]);
        vm.merge().toggleMergeSelection(library[1]);
        vm.merge().executeMerge();
    } else if (step == QLatin1String("cut")) {
        vm.trim().startTrimming(library[0]);
        vm.trim().setTrimStartTime(1);
        vm.trim().setTrimEndTime(library[0].duration - 1);
        vm.trim().executeTrim(false);
    } else {
        vm.processing().enhanceRecording(library[0]);
    }
    // Says so once the scratch file holds audio, then waits to be killed.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (const QString& name : folderEntries()) {
            if (ScratchFileName::isScratch(name) && QFileInfo(QDir(m_storage->storageDirectory()).filePath(name)).size() > 0) {
                std::printf("%s %s\n", kWritingLine.constData(), qPrintable(name));
                std::fflush(stdout);
                poll.stop();
            }
        }
    });
    poll.start(1);
    waitFor([] { return false; }, 60000);
    FAIL() << "not killed";
}

TEST_F(KilledEdit, LeavesNoHalfFileAndLosesNothing)
{
    QList<RecordingItem> seeded;
    for (const auto& [title, seconds, hz] : {std::tuple{"Interview", 60.0, 440.0}, std::tuple{"Standup", 40.0, 660.0}}) {
        RecordingItem item = makeRecording(QString::fromLatin1(title), int(seeded.size()) + 1);
        ToneFiles::write(audioPath(item), {{seconds, hz}});
        item.duration = seconds;
        item.fileSizeBytes = QFileInfo(audioPath(item)).size();
        item.transcript = QStringLiteral("What %1 said.").arg(item.title);
        item.transcriptSegments = QList<TranscriptSegment>{{QUuid::createUuid(), 0, 3, *item.transcript}};
        item.summary = QStringLiteral("# %1\n- decided").arg(item.title);
        item.summaryCreatedAt = Date::now().addingSeconds(-600);
        for (int i = 0; i < 120; ++i)
            item.waveformSamples[i] = 0.1f + 0.9f * float(i) / 119; // nothing for the start to rebuild
        seeded.append(item);
    }
    QHash<QString, QByteArray> audio;
    for (const RecordingItem& item : seeded)
        audio.insert(item.fileName, TestFiles::readFile(audioPath(item)));

    for (const QString& edit : {QStringLiteral("merge"), QStringLiteral("cut"), QStringLiteral("enhancement")}) {
        SCOPED_TRACE(edit.toStdString());
        seedLibrary(seeded);
        const QByteArray killed = runChild(edit);
        // Killed in the middle: the scratch file is there, half written.
        ASSERT_EQ(folderEntries().filter(QRegularExpression(QStringLiteral("_temp_"))).size(), 1)
            << folderEntries().join(QLatin1Char(' ')).toStdString() << killed.toStdString();

        runChild(QStringLiteral("start"));
        QStringList expectedFiles = audio.keys();
        expectedFiles.sort();
        EXPECT_EQ(folderEntries(), expectedFiles);
        for (auto it = audio.cbegin(); it != audio.cend(); ++it)
            EXPECT_EQ(TestFiles::readFile(QDir(m_storage->storageDirectory()).filePath(it.key())), it.value());
        EXPECT_EQ(savedLibrary(), seeded);
        EXPECT_EQ(QFileInfo(m_storage->metadataFile()).dir().entryList({QStringLiteral("recordings.json.*")}),
                  QStringList());
    }
}

} // namespace
