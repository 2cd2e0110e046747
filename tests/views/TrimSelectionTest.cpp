// Trim mode in the Audio pane: the header's buttons, the range line, the
// handles on the waveform, the trim bar and the confirmation.

#include "PaneFixture.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/StatusLine.h"
#include "viewmodels/TrimSession.h"
#include "views/detail/DetailHeader.h"
#include "views/detail/PlaybackWaveformCanvas.h"
#include "views/detail/PlaybackWaveformView.h"
#include "views/detail/TrimBar.h"
#include "views/detail/TrimConfirmDialog.h"
#include "views/detail/TrimInfoLine.h"
#include "views/detail/TrimOverlay.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {

class TrimSelection : public PaneFixture {
protected:
    // A selected recording of `duration` seconds, in trim mode through the header.
    PlaybackWaveformView& trimming(double duration)
    {
        RecordingItem item = makeRecording(QStringLiteral("Interview"), 3);
        item.duration = duration;
        seedLibrary({item});
        makeDetailArea();
        settle();
        QTest::mouseClick(m_area->header()->trimButton(), Qt::LeftButton);
        settle();
        return *m_area->playbackView();
    }

    // Presses at `from` on the waveform and drags to `to`.
    void drag(TrimOverlay* overlay, double from, double to)
    {
        const int y = overlay->height() / 2;
        QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(int(from), y));
        for (const double x : {from + (to - from) / 2, to}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, y), overlay->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(overlay, &move);
        }
        QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(int(std::clamp(to, 0.0, 719.0)), y));
        settle();
    }
};

} // namespace

TEST_F(TrimSelection, HeaderEntersAndLeavesTrimMode)
{
    PlaybackWaveformView& pane = trimming(90);
    EXPECT_TRUE(m_vm->trim().isTrimmingActive());
    EXPECT_TRUE(m_area->header()->doneButton()->isVisible());
    EXPECT_TRUE(pane.trimInfoLine()->isVisible());
    EXPECT_TRUE(pane.trimOverlay()->isVisible());
    EXPECT_TRUE(pane.trimBar()->isVisible());
    EXPECT_EQ(pane.trimInfoLine()->startText(), "0:00");
    EXPECT_EQ(pane.trimInfoLine()->endText(), "1:30");
    EXPECT_EQ(pane.trimInfoLine()->durationText(), "1:30");

    QTest::mouseClick(m_area->header()->doneButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(m_vm->trim().isTrimmingActive());
    EXPECT_FALSE(pane.trimOverlay()->isVisible());
    EXPECT_FALSE(pane.trimBar()->isVisible());
    EXPECT_TRUE(m_area->header()->trimButton()->isVisible());
}

TEST_F(TrimSelection, HandlesMoveTheRangeAndClicksBesideThemDoNothing)
{
    PlaybackWaveformView& pane = trimming(72);
    TrimOverlay* overlay = pane.trimOverlay();
    ASSERT_EQ(pane.canvas()->width(), 720);
    // Over the waveform in the pane, with room for the end handle past its trailing edge.
    EXPECT_EQ(overlay->parentWidget(), &pane);
    EXPECT_FALSE(overlay->isWindow());
    EXPECT_EQ(overlay->geometry(), pane.canvas()->geometry().adjusted(0, 0, 7, 0));

    drag(overlay, 713, 900); // the end handle beyond the trailing edge
    EXPECT_EQ(m_vm->trim().trimEndTime(), 72);
    drag(overlay, 713, 360);
    EXPECT_DOUBLE_EQ(m_vm->trim().trimEndTime(), 36);
    drag(overlay, 3, 120);
    EXPECT_DOUBLE_EQ(m_vm->trim().trimStartTime(), 12);
    EXPECT_EQ(pane.trimInfoLine()->durationText(), "0:24");
    // Past the end handle, the start stops 16 points before it.
    drag(overlay, 120 + 3, 700);
    EXPECT_DOUBLE_EQ(m_vm->trim().trimStartTime(), (360.0 - 16) / 720 * 72);

    const double position = m_player->currentTime();
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(600, overlay->height() / 2));
    settle();
    EXPECT_EQ(m_player->currentTime(), position);
    EXPECT_EQ(m_vm->trim().trimEndTime(), 36);
}

TEST_F(TrimSelection, PreviewButtonFollowsThePreview)
{
    PlaybackWaveformView& pane = trimming(60);
    QPushButton* preview = pane.trimBar()->previewButton();
    EXPECT_EQ(preview->text(), "Play Selection");
    m_vm->trim().setTrimEndTime(10);
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_EQ(preview->text(), "Stop Preview");
    m_player->advanceTo(10.2);
    ASSERT_TRUE(waitFor([&] { return preview->text() == "Play Selection"; }));
}

TEST_F(TrimSelection, ConfirmationNamesTheRangeAndStartsTheCut)
{
    PlaybackWaveformView& pane = trimming(200);
    m_vm->trim().setTrimStartTime(65);
    m_vm->trim().setTrimEndTime(130.5);
    QTest::mouseClick(pane.trimBar()->saveButton(), Qt::LeftButton);
    TrimConfirmDialog* dialog = pane.trimConfirmation();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Trim Recording");
    EXPECT_EQ(dialog->message(),
              "Selected length: 1:05 (from 1:05 to 2:10). Save as a new recording or replace original?");

    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !pane.trimConfirmation(); }));
    EXPECT_EQ(m_trimmer->calls.count(), 0);

    QTest::mouseClick(pane.trimBar()->saveButton(), Qt::LeftButton);
    ASSERT_TRUE(pane.trimConfirmation());
    QTest::mouseClick(pane.trimConfirmation()->saveAsNewButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !pane.trimConfirmation(); }));
    ASSERT_EQ(m_trimmer->calls.count(), 1);
    EXPECT_EQ(m_trimmer->requests.first().start, 65);
    EXPECT_EQ(m_trimmer->requests.first().end, 130.5);
}

TEST_F(TrimSelection, TheCutShowsItsFigureInTheBarWhoseCancelStopsIt)
{
    PlaybackWaveformView& pane = trimming(60);
    TrimBar* bar = pane.trimBar();
    EXPECT_TRUE(bar->progressText().isEmpty());
    m_vm->trim().setTrimStartTime(5);
    m_vm->trim().executeTrim(true);
    settle();
    EXPECT_EQ(bar->progressText(), QStringLiteral("Cropping audio..."));
    EXPECT_FALSE(bar->saveButton()->isVisible());
    EXPECT_FALSE(bar->previewButton()->isVisible());

    m_trimmer->requests.first().onProgress(0.42);
    ASSERT_TRUE(waitFor([&] { return bar->progressText() == QStringLiteral("Cropping audio... 42%"); }));

    QTest::mouseClick(bar->cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(m_trimmer->calls.isCancelled(0));
    m_trimmer->calls.resolve(0);
    ASSERT_TRUE(waitFor([&] { return m_vm->status().exportMessage() == QStringLiteral("Trim cancelled"); }));
    EXPECT_FALSE(m_vm->trim().isTrimmingActive());
    EXPECT_EQ(m_vm->library().recordings().size(), 1);
}
