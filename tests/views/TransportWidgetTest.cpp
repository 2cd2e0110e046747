#include "support/QtPrinters.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/common/PlainButton.h"
#include "views/transport/RecordButton.h"
#include "views/transport/TransportControlsView.h"
#include "WindowFixture.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using Transport = WindowFixture;

namespace {

// What the bar shows: each control as "-" (hidden), "off" (shown, disabled) or "on".
struct Face {
    const char* speed;
    const char* skipBack;
    const char* playPause;
    const char* skipForward;
    const char* record;
    const char* pauseResume;
    const char* stop;
    const char* done;
    const char* exportButton;
};

const char* look(const QWidget* widget)
{
    if (widget->isHidden())
        return "-";
    return widget->isEnabled() ? "on" : "off";
}

void expectFace(TransportControlsView& bar, const Face& face, const char* state)
{
    EXPECT_STREQ(look(bar.speedMenu()), face.speed) << state;
    EXPECT_STREQ(look(bar.skipBackButton()), face.skipBack) << state;
    EXPECT_STREQ(look(bar.playPauseButton()), face.playPause) << state;
    EXPECT_STREQ(look(bar.skipForwardButton()), face.skipForward) << state;
    EXPECT_STREQ(look(bar.recordButton()), face.record) << state;
    EXPECT_STREQ(look(bar.pauseResumeButton()), face.pauseResume) << state;
    EXPECT_STREQ(look(bar.stopButton()), face.stop) << state;
    EXPECT_STREQ(look(bar.doneButton()), face.done) << state;
    EXPECT_STREQ(look(bar.exportButton()), face.exportButton) << state;
}

} // namespace

TEST_F(Transport, ShowsTheControlsOfEachState)
{
    seedLibrary({makeRecording("Standup", 5)});
    makeWindow();
    TransportControlsView& bar = transport();

    const Face playback{"on", "on", "on", "on", "on", "-", "-", "-", "on"};
    const Face idleEmpty{"-", "-", "-", "-", "on", "-", "-", "-", "-"};
    const Face busy{"-", "-", "-", "-", "-", "off", "off", "off", "-"};
    const Face running{"-", "-", "-", "-", "-", "on", "on", "on", "-"};

    expectFace(bar, playback, "idle with a selection");
    EXPECT_EQ(bar.playPauseButton()->symbol(), "play.circle.fill");
    EXPECT_EQ(bar.playPauseButton()->toolTip(), "Play");
    EXPECT_EQ(bar.speedMenu()->text(), "1×");

    m_player->play();
    expectFace(bar, playback, "playing");
    EXPECT_EQ(bar.playPauseButton()->symbol(), "pause.circle.fill");
    EXPECT_EQ(bar.playPauseButton()->toolTip(), "Pause");

    m_vm->library().setSelectedRecording(std::nullopt);
    expectFace(bar, idleEmpty, "idle without a selection");

    m_vm->recorder().startNewRecording();
    expectFace(bar, busy, "starting");
    EXPECT_EQ(bar.stopButton()->face(), RecordButton::Face::stop);

    m_recorder->starts.resolve(m_recorder->starts.count() - 1);
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));
    expectFace(bar, running, "recording");
    EXPECT_EQ(bar.pauseResumeButton()->symbol(), "pause.circle.fill");
    EXPECT_EQ(bar.pauseResumeButton()->toolTip(), "Pause Recording");

    click(bar.pauseResumeButton());
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::paused);
    expectFace(bar, running, "paused");
    EXPECT_EQ(bar.pauseResumeButton()->symbol(), "play.circle.fill");
    EXPECT_EQ(bar.pauseResumeButton()->toolTip(), "Resume Recording");

    m_recorder->writeCaptureFile(4096);
    bar.stopButton()->click();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    expectFace(bar, busy, "stopping");
    EXPECT_EQ(bar.stopButton()->face(), RecordButton::Face::saving);

    m_recorder->stops.resolveLast({5.0, {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));
    expectFace(bar, playback, "idle after the stop selected the new recording");
}

TEST_F(Transport, ButtonsDriveTheViewModelAndThePlayer)
{
    const auto standup = makeRecording("Standup", 5);
    seedLibrary({standup});
    makeWindow();
    TransportControlsView& bar = transport();
    m_player->durations.insert(audioPath(standup), 100);
    m_vm->library().selectRecording(standup);

    click(bar.playPauseButton());
    EXPECT_TRUE(m_player->isPlaying());
    click(bar.skipForwardButton());
    EXPECT_EQ(m_player->currentTime(), 15);
    m_player->advanceTo(10);
    click(bar.skipBackButton());
    EXPECT_EQ(m_player->currentTime(), 0);
    click(bar.playPauseButton());
    EXPECT_FALSE(m_player->isPlaying());

    QStringList speeds;
    for (QAction* action : bar.speedMenu()->menu()->actions())
        speeds << action->text();
    EXPECT_EQ(speeds, (QStringList{"0.75×", "1.0× (Normal)", "1.25×", "1.5×", "2.0×"}));

    bar.recordButton()->click();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::starting);
    // Pressing again while starting does nothing.
    bar.stopButton()->click();
    EXPECT_EQ(m_recorder->stops.count(), 0);
    m_recorder->starts.resolve(m_recorder->starts.count() - 1);
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));
    m_recorder->writeCaptureFile(4096);
    bar.doneButton()->click();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    EXPECT_EQ(m_recorder->stops.count(), 1);
}
