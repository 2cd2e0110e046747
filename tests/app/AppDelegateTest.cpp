// The delegate's launch steps, its answer to the last window closing, and the
// quit that lets a recording in progress be saved first.

#include "ViewModelFixture.h"

#include "app/AppDelegate.h"
#include "common/SettingsKeys.h"
#include "support/TestFiles.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

struct HiddenCase {
    QStringList options;
    bool hidden;
};

class HiddenStart : public ::testing::TestWithParam<HiddenCase> {};

TEST_P(HiddenStart, OnlyWholeArgumentsCount)
{
    const QStringList arguments = QStringList{QStringLiteral("/usr/bin/nimbrel")} + GetParam().options;
    EXPECT_EQ(AppDelegate::startsHidden(arguments), GetParam().hidden) << qPrintable(arguments.join(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, HiddenStart,
    ::testing::Values(HiddenCase{{}, false}, HiddenCase{{QStringLiteral("--minimized")}, true},
                      HiddenCase{{QStringLiteral("-minimized")}, true},
                      HiddenCase{{QStringLiteral("--verbose"), QStringLiteral("-minimized")}, true},
                      HiddenCase{{QStringLiteral("--login")}, true},
                      HiddenCase{{QStringLiteral("--minimized=1")}, false},
                      HiddenCase{{QStringLiteral("--minimizedx")}, false},
                      HiddenCase{{QStringLiteral("minimized")}, false}));

TEST(HiddenStart, TheProgramNameDoesNotCount)
{
    EXPECT_FALSE(AppDelegate::startsHidden({QStringLiteral("--minimized")}));
}

class Delegate : public ViewModelFixture {
protected:
    AppDelegate& launch(const QStringList& options = {})
    {
        m_delegate = std::make_unique<AppDelegate>(QStringList{QStringLiteral("nimbrel")} + options, *m_settings);
        m_delegate->applicationDidFinishLaunching();
        return *m_delegate;
    }

    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(Delegate, RegistersTheElevenDefaultsWithoutOverwritingStoredValues)
{
    m_settings->setValue(SettingsKeys::autoTranscribe, false);
    launch();
    EXPECT_FALSE(m_settings->boolValue(SettingsKeys::autoTranscribe));
    EXPECT_TRUE(m_settings->boolValue(SettingsKeys::autoGenerateRecap));
    EXPECT_DOUBLE_EQ(m_settings->doubleValue(SettingsKeys::micVolume), 1.4);
    EXPECT_DOUBLE_EQ(m_settings->doubleValue(SettingsKeys::sysVolume), 0.9);
    EXPECT_EQ(m_settings->stringValue(SettingsKeys::whisperLanguage), QStringLiteral("auto"));
    EXPECT_TRUE(m_settings->boolValue(SettingsKeys::keepInMenuBarOnClose));
    EXPECT_FALSE(m_settings->isStored(SettingsKeys::micVolume));
    // The two keys only the settings window reads stay without a default.
    EXPECT_FALSE(m_settings->value(SettingsKeys::lastRecordingType).isValid());
    EXPECT_FALSE(m_settings->value(SettingsKeys::stopRecordingOnScreenSleep).isValid());
}

TEST_F(Delegate, LastWindowClosedQuitsOnlyWhenIdleAndNotKeptInTheTray)
{
    AppDelegate& delegate = launch();
    ASSERT_EQ(RecordingViewModel::shared(), nullptr);
    EXPECT_FALSE(delegate.applicationShouldTerminateAfterLastWindowClosed());
    m_settings->setValue(SettingsKeys::keepInMenuBarOnClose, false);
    EXPECT_TRUE(delegate.applicationShouldTerminateAfterLastWindowClosed());

    makeViewModel();
    ASSERT_EQ(RecordingViewModel::shared(), m_vm.get());
    EXPECT_TRUE(delegate.applicationShouldTerminateAfterLastWindowClosed());
    m_vm->recorder().startNewRecording();
    EXPECT_FALSE(delegate.applicationShouldTerminateAfterLastWindowClosed()); // starting
    m_recorder->starts.resolveLast();
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));
    EXPECT_FALSE(delegate.applicationShouldTerminateAfterLastWindowClosed());
}

TEST_F(Delegate, QuitDuringARecordingWaitsUntilItIsSavedUnderItsTitle)
{
    makeViewModel();
    startRecording(QStringLiteral("Board meeting"));
    m_vm->recorder().pauseResumeRecording();
    m_recorder->writeCaptureFile(9000);
    // The recorder needs a while to finish the file.
    QTimer::singleShot(300, [&] { m_recorder->stops.resolveLast(RecorderService::StopResult{4.0, {}}); });

    EXPECT_TRUE(AppDelegate::finishRecordingBeforeQuit(*m_vm, AppDelegate::quitWaitLimit));
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Board meeting"));
    ASSERT_EQ(savedLibrary().size(), 1);
    EXPECT_TRUE(savedLibrary().first().fileName.startsWith(QStringLiteral("Board meeting_")));
}

TEST_F(Delegate, QuitWhileARecordingStartsStopsItOnceItRuns)
{
    makeViewModel();
    m_vm->recorder().startNewRecording(QStringLiteral("Early quit"));
    QTimer::singleShot(100, [&] {
        m_recorder->writeCaptureFile(9000);
        m_recorder->starts.resolveLast();
    });
    QTimer::singleShot(300, [&] {
        if (m_recorder->stops.count() == 1)
            m_recorder->stops.resolveLast(RecorderService::StopResult{1.0, {}});
    });

    EXPECT_TRUE(AppDelegate::finishRecordingBeforeQuit(*m_vm, AppDelegate::quitWaitLimit));
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(m_vm->library().recordings().first().title, QStringLiteral("Early quit"));
}

TEST_F(Delegate, QuitGivesUpWaitingAfterTheLimit)
{
    makeViewModel();
    startRecording();
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(AppDelegate::finishRecordingBeforeQuit(*m_vm, std::chrono::milliseconds(300)));
    EXPECT_GE(elapsed.elapsed(), 290);
    EXPECT_LT(elapsed.elapsed(), 3000);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
}

TEST_F(Delegate, QuitWritesTheLibraryBeforeItEnds)
{
    // Large enough that writing the index takes a while after the last change.
    QList<RecordingItem> items;
    for (int i = 0; i < 300; ++i) {
        RecordingItem item = makeRecording(QStringLiteral("Call %1").arg(i), i + 1);
        QList<TranscriptSegment> segments;
        for (int s = 0; s < 100; ++s)
            segments.append({QUuid::createUuid(), s * 2.0, s * 2.0 + 2, QStringLiteral("a few words of segment %1").arg(s)});
        item.transcriptSegments = segments;
        items.append(item);
    }
    seedLibrary(items);
    makeViewModel();
    AppDelegate& delegate = launch();

    m_vm->library().renameRecording(m_vm->library().recordings().first(),
                                    QStringLiteral("Renamed just before quitting"));
    delegate.requestQuit();
    const auto saved = RecordingsStorage::decodeIndex(TestFiles::readFile(m_storage->metadataFile()));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->first().title, QStringLiteral("Renamed just before quitting"));
}

TEST_F(Delegate, QuitWhileIdleDoesNotWait)
{
    makeViewModel();
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(AppDelegate::finishRecordingBeforeQuit(*m_vm, AppDelegate::quitWaitLimit));
    EXPECT_LT(elapsed.elapsed(), 100);
    EXPECT_EQ(m_recorder->stops.count(), 0);
}

} // namespace
