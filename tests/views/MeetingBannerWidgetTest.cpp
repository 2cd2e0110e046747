// The meeting banners alone and over the main window, on the fake detector.
#include "support/QtPrinters.h"
#include "WindowFixture.h"

#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/common/ElidedLabel.h"
#include "views/window/MeetingAlertBanner.h"
#include "views/window/MeetingAlertBannerButton.h"
#include "views/window/MeetingAlertBanners.h"
#include "views/window/StatusMessageView.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

DetectedMeeting zoomCall(const QString& detail = QStringLiteral("Design review"))
{
    return DetectedMeeting{QStringLiteral("Zoom"), detail, QStringLiteral("Zoom Meeting - ") + detail,
                           QStringLiteral("us.zoom.xos"), Date::now()};
}

} // namespace

using MeetingBanner = WindowFixture;

TEST_F(MeetingBanner, EachButtonCallsOnlyItsOwnAction)
{
    for (const bool isEndPrompt : {false, true}) {
        MeetingAlertBanner banner(isEndPrompt);
        banner.setMeeting(QStringLiteral("Zoom - Design review"), 12);
        banner.resize(900, banner.sizeHint().height());
        banner.show();
        QSignalSpy primary(&banner, &MeetingAlertBanner::primaryActionTriggered);
        QSignalSpy dismiss(&banner, &MeetingAlertBanner::dismissTriggered);

        QTest::mouseClick(banner.primaryButton(), Qt::LeftButton);
        EXPECT_EQ(primary.count(), 1);
        EXPECT_EQ(dismiss.count(), 0);
        QTest::mouseClick(banner.secondaryButton(), Qt::LeftButton);
        EXPECT_EQ(primary.count(), 1);
        EXPECT_EQ(dismiss.count(), 1);
        // The banner itself does nothing else: it is still there, unchanged.
        EXPECT_TRUE(banner.isVisible());
        EXPECT_EQ(banner.primaryButton()->text(), isEndPrompt ? "Stop & Save" : "Record");
        EXPECT_EQ(banner.secondaryButton()->text(), isEndPrompt ? "Keep Recording" : "Dismiss");
    }
}

TEST_F(MeetingBanner, ALongTitleNeverWrapsTheDetailLine)
{
    MeetingAlertBanner banner(true);
    banner.setMeeting(QStringLiteral("Zoom - Design review"), 30);
    banner.resize(700, banner.sizeHint().height());
    banner.show();
    const int height = banner.sizeHint().height();
    const int lineHeight = banner.detailLabel()->fontMetrics().height();

    banner.setMeeting(QStringLiteral("Zoom - ") + QString(QStringLiteral("Quarterly planning and budget ")).repeated(12),
                      30);
    banner.resize(700, banner.sizeHint().height());
    QTest::qWait(10);
    EXPECT_EQ(banner.sizeHint().height(), height);
    EXPECT_LE(banner.detailLabel()->height(), lineHeight + 1);
    EXPECT_LE(banner.titleLabel()->height(), banner.titleLabel()->fontMetrics().height() + 1);
    // Both lines stay inside the card, with the buttons at their full size.
    EXPECT_LE(banner.titleLabel()->geometry().right(), banner.primaryButton()->geometry().left());
    EXPECT_EQ(banner.primaryButton()->size(), banner.primaryButton()->sizeHint());
}

TEST_F(MeetingBanner, TheEndBannerFollowsTheCountdown)
{
    makeWindow();
    startRecording();
    MeetingAlertBanner* banner = m_window->meetingBanners()->endBanner();

    struct Step {
        std::optional<int> seconds;
        const char* detail;
    } steps[] = {
        {std::nullopt, "Call finished. Auto-stopping & saving in 30s..."},
        {7, "Call finished. Auto-stopping & saving in 7s..."},
        {6, "Call finished. Auto-stopping & saving in 6s..."},
    };
    for (const auto& step : steps) {
        m_meetings->offerToStop(zoomCall(), step.seconds);
        settle();
        ASSERT_TRUE(banner->isVisible());
        EXPECT_EQ(banner->detailLabel()->text(), step.detail);
        EXPECT_EQ(banner->titleLabel()->text(), "Zoom - Design review");
        EXPECT_EQ(banner->headingLabel()->text(), "Meeting Ended");
    }
    m_meetings->offerToStop(std::nullopt, std::nullopt);
    settle();
    EXPECT_FALSE(banner->isVisible());
}

TEST_F(MeetingBanner, TheWindowShowsEachBannerOnlyInItsStates)
{
    makeWindow();
    MeetingAlertBanner* detected = m_window->meetingBanners()->detectedBanner();
    MeetingAlertBanner* ended = m_window->meetingBanners()->endBanner();

    m_meetings->offer(zoomCall());
    m_meetings->offerToStop(zoomCall(), 20);
    settle();
    EXPECT_TRUE(detected->isVisible());
    EXPECT_FALSE(ended->isVisible()); // nothing is recorded
    EXPECT_EQ(detected->titleLabel()->text(), "Zoom - Design review");
    EXPECT_EQ(detected->detailLabel()->text(), "Start capturing meeting audio and generating transcripts & recap?");

    startRecording();
    settle();
    EXPECT_FALSE(detected->isVisible());
    EXPECT_TRUE(ended->isVisible());

    m_vm->recorder().pauseResumeRecording();
    settle();
    EXPECT_TRUE(ended->isVisible());
    m_vm->recorder().pauseResumeRecording();

    // The detection still set when the recording ends shows again.
    stopRecording(5, 4096);
    settle();
    EXPECT_TRUE(detected->isVisible());
    EXPECT_FALSE(ended->isVisible());
}

TEST_F(MeetingBanner, ButtonsInTheWindowAnswerTheDetector)
{
    makeWindow();
    m_meetings->offer(zoomCall());
    settle();
    MeetingAlertBanner* detected = m_window->meetingBanners()->detectedBanner();
    QTest::mouseClick(detected->primaryButton(), Qt::LeftButton);
    QTest::mouseClick(detected->secondaryButton(), Qt::LeftButton);

    startRecording();
    m_meetings->offerToStop(zoomCall(), 9);
    settle();
    MeetingAlertBanner* ended = m_window->meetingBanners()->endBanner();
    ASSERT_TRUE(ended->isVisible());
    QTest::mouseClick(ended->primaryButton(), Qt::LeftButton);
    QTest::mouseClick(ended->secondaryButton(), Qt::LeftButton);
    EXPECT_EQ(m_meetings->answers, (QStringList{"confirmStartRecording", "dismissDetectedMeeting",
                                                "confirmStopRecording", "dismissMeetingEndPrompt"}));
}

TEST_F(MeetingBanner, BannersAndTheStatusMessageStackFromTheTop)
{
    makeWindow();
    startRecording();
    m_meetings->offerToStop(zoomCall(), 9);
    m_vm->processing().copyTranscript(QStringLiteral("words"));
    settle();
    MeetingAlertBanner* ended = m_window->meetingBanners()->endBanner();
    StatusMessageView* status = m_window->statusMessage();
    ASSERT_TRUE(ended->isVisible());
    ASSERT_TRUE(status->isVisible());
    EXPECT_EQ(ended->y(), 56);
    EXPECT_EQ(ended->x(), 24);
    EXPECT_EQ(ended->width(), m_window->width() - 48);
    EXPECT_EQ(status->y(), ended->geometry().bottom() + 1 + 8);

    m_meetings->offerToStop(std::nullopt, std::nullopt);
    settle();
    EXPECT_EQ(status->y(), 56);
}
