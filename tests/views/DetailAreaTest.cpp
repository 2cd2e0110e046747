// The detail area's choice of header, picker and pane, with the real panes.

#include "PaneFixture.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/detail/DetailHeader.h"
#include "views/detail/DetailTabPicker.h"
#include "views/detail/EmptyRecapView.h"
#include "views/detail/EmptyTranscriptView.h"
#include "views/detail/EmptyWaveformView.h"
#include "views/detail/LiveRecordingWaveformView.h"
#include "views/detail/PlaybackWaveformCanvas.h"
#include "views/detail/PlaybackWaveformView.h"
#include "views/detail/RecapContentView.h"
#include "views/detail/SegmentButton.h"
#include "views/detail/TranscriptContentView.h"

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

class DetailArea : public PaneFixture {
protected:
    void chooseTab(DetailViewTab tab)
    {
        QTest::mouseClick(m_area->tabPicker()->button(tab), Qt::LeftButton);
        settle();
    }
};

} // namespace

TEST_F(DetailArea, WithoutSelectionEachTabShowsItsPlaceholder)
{
    makeDetailArea();
    m_vm->library().setSelectedRecording(std::nullopt);
    settle();

    EXPECT_TRUE(m_area->tabPicker()->isVisible());
    EXPECT_FALSE(m_area->header()->isVisible());
    EXPECT_TRUE(qobject_cast<EmptyWaveformView*>(m_area->currentPane()));

    chooseTab(DetailViewTab::transcript);
    EXPECT_EQ(m_vm->library().activeDetailTab(), DetailViewTab::transcript);
    ASSERT_EQ(m_area->currentPane(), m_area->transcriptView());
    EXPECT_TRUE(m_area->transcriptView()->findChild<EmptyTranscriptView*>()->isVisible());

    chooseTab(DetailViewTab::recap);
    ASSERT_EQ(m_area->currentPane(), m_area->recapView());
    EXPECT_TRUE(m_area->recapView()->findChild<EmptyRecapView*>()->isVisible());
}

// Wrapped or not, every line of a placeholder's texts shows: each label is
// as wide as the pane and as tall as its lines.
TEST_F(DetailArea, PlaceholderTextsShowWholeAtEveryWidth)
{
    const std::function<PlaceholderView*()> views[] = {
        [] { return new EmptyWaveformView; },
        [] { return new EmptyTranscriptView; },
        [] { return new EmptyRecapView; },
    };
    for (const auto& make : views) {
        for (const int width : {180, 320, 550, 900}) {
            std::unique_ptr<PlaceholderView> view(make());
            SCOPED_TRACE(view->objectName().toStdString() + " at " + std::to_string(width));
            view->resize(width, 500);
            view->show();
            settle();
            for (const char* name : {"placeholderTitle", "placeholderSubtitle"}) {
                auto* label = view->findChild<QLabel*>(QLatin1String(name));
                ASSERT_TRUE(label) << name;
                EXPECT_EQ(label->width(), view->contentsRect().width() - view->layout()->contentsMargins().left()
                                              - view->layout()->contentsMargins().right())
                    << name;
                EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                    << name << " view " << view->width() << "x" << view->height() << " label " << label->width();
                EXPECT_TRUE(view->rect().contains(label->geometry())) << name;
            }
        }
    }
}

TEST_F(DetailArea, HeaderBelongsToTheAudioTabOfASelectedRecording)
{
    seedLibrary({makeRecording(QStringLiteral("Standup"), 3)});
    makeDetailArea();

    ASSERT_TRUE(m_vm->library().selectedRecording());
    EXPECT_TRUE(m_area->header()->isVisible());
    EXPECT_TRUE(m_area->header()->enhanceButton()->isVisible());
    EXPECT_FALSE(m_area->header()->enhancedSwitch()->isVisible());
    EXPECT_TRUE(m_area->header()->trimButton()->isVisible());
    auto* playback = qobject_cast<PlaybackWaveformView*>(m_area->currentPane());
    ASSERT_TRUE(playback);
    EXPECT_EQ(playback->recordingId(), m_vm->library().selectedRecording()->id);

    chooseTab(DetailViewTab::transcript);
    EXPECT_FALSE(m_area->header()->isVisible());
    EXPECT_TRUE(m_area->tabPicker()->isVisible());
    EXPECT_EQ(m_area->playbackView(), nullptr) << "leaving the tab drops the playback pane's state";
}

TEST_F(DetailArea, EnhancementSlotShowsTheSwitchBeforeAnyRunningEnhancement)
{
    RecordingItem enhanced = makeRecording(QStringLiteral("Enhanced"), 3);
    enhanced.enhancedFileName = QStringLiteral("Enhanced_enhanced.mp3");
    writeFile(QFileInfo(audioPath(enhanced)).dir().filePath(*enhanced.enhancedFileName), 4096);
    seedLibrary({enhanced});
    makeDetailArea();

    m_vm->processing().enhanceRecording(*m_vm->library().selectedRecording());
    settle();
    EXPECT_TRUE(m_area->header()->enhancedSwitch()->isVisible());
    EXPECT_FALSE(m_area->header()->enhancingBadge()->isVisible());
    EXPECT_FALSE(m_area->header()->enhanceButton()->isVisible());

    QTest::mouseClick(m_area->header()->enhancedSegment(), Qt::LeftButton);
    settle();
    EXPECT_TRUE(m_vm->library().isPlayingEnhanced());
}

TEST_F(DetailArea, RunningEnhancementShowsItsBadge)
{
    seedLibrary({makeRecording(QStringLiteral("Plain"), 3)});
    makeDetailArea();

    QTest::mouseClick(m_area->header()->enhanceButton(), Qt::LeftButton);
    settle();
    EXPECT_TRUE(m_vm->processing().enhancingRecordingIDs().contains(m_vm->library().selectedRecording()->id));
    EXPECT_TRUE(m_area->header()->enhancingBadge()->isVisible());
    EXPECT_FALSE(m_area->header()->enhanceButton()->isVisible());
}

TEST_F(DetailArea, ARecordingReplacesAnyTabWithTheLivePaneUntilIdleAgain)
{
    seedLibrary({makeRecording(QStringLiteral("Earlier"), 30)});
    makeDetailArea();
    chooseTab(DetailViewTab::transcript);

    m_vm->recorder().startNewRecording();
    settle();
    EXPECT_TRUE(qobject_cast<LiveRecordingWaveformView*>(m_area->currentPane())) << "from the starting state on";
    EXPECT_FALSE(m_area->tabPicker()->isVisible());
    EXPECT_FALSE(m_area->header()->isVisible());

    m_recorder->starts.resolveLast();
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));
    m_recorder->writeCaptureFile(4096);
    m_vm->recorder().stopRecording();
    settle();
    EXPECT_TRUE(qobject_cast<LiveRecordingWaveformView*>(m_area->currentPane())) << "while stopping";

    m_recorder->stops.resolveLast({12.0, QList<float>(120, 0.4f)});
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::idle; }));
    settle();
    EXPECT_EQ(m_area->liveView(), nullptr);
    EXPECT_TRUE(m_area->tabPicker()->isVisible());
    EXPECT_EQ(m_vm->library().activeDetailTab(), DetailViewTab::waveform);
    ASSERT_TRUE(m_area->playbackView());
    EXPECT_EQ(m_area->playbackView()->recordingId(), m_vm->library().selectedRecording()->id);
}

TEST_F(DetailArea, AnotherSelectionBuildsAFreshPlaybackPane)
{
    const RecordingItem first = makeRecording(QStringLiteral("First"), 3);
    const RecordingItem second = makeRecording(QStringLiteral("Second"), 4);
    seedLibrary({first, second});
    makeDetailArea();
    PlaybackWaveformView* before = m_area->playbackView();
    ASSERT_TRUE(before);
    EXPECT_EQ(before->recordingId(), first.id);

    m_vm->library().setSelectedRecording(m_vm->library().recordings().at(1));
    settle();
    ASSERT_TRUE(m_area->playbackView());
    EXPECT_EQ(m_area->playbackView()->recordingId(), second.id);
    EXPECT_FALSE(m_area->playbackView()->canvas()->isDragging());
}
