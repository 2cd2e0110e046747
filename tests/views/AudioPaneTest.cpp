// The Audio pane: seeking on the stored recording's waveform, and the live
// pane's timer, bars and recap-format chips.

#include "PaneFixture.h"

#include "common/SettingsKeys.h"
#include "support/TestFiles.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/common/ElidedLabel.h"
#include "views/detail/FormatChip.h"
#include "views/detail/LiveBarStrip.h"
#include "views/detail/LiveRecordingWaveformView.h"
#include "views/detail/PlaybackWaveformCanvas.h"
#include "views/detail/PlaybackWaveformView.h"
#include "views/detail/RecapFormatSection.h"

#include <QImage>
#include <QLabel>
#include <QTest>

namespace {

class AudioPane : public PaneFixture {
protected:
    // A selected recording with a stored duration of `duration` seconds whose
    // file the player reports as `fileLength` seconds long.
    PlaybackWaveformView& playbackFor(double duration, double fileLength)
    {
        RecordingItem item = makeRecording(QStringLiteral("Interview"), 3);
        item.duration = duration;
        seedLibrary({item});
        makeDetailArea();
        m_player->durations.insert(audioPath(item), fileLength);
        m_vm->library().selectRecording(m_vm->library().recordings().first()); // reloads with that length
        settle();
        return *m_area->playbackView();
    }

    QPoint at(const PlaybackWaveformCanvas* canvas, double fraction) const
    {
        return QPoint(int(canvas->width() * fraction), canvas->height() / 2);
    }
};

} // namespace

TEST_F(AudioPane, ClickSeeksToTheStoredDurationsFraction)
{
    PlaybackWaveformView& pane = playbackFor(120, 120);
    PlaybackWaveformCanvas* canvas = pane.canvas();
    ASSERT_EQ(canvas->width(), 720) << "the area's width less 40 on each side";

    QTest::mouseClick(canvas, Qt::LeftButton, {}, at(canvas, 0.25));
    settle();
    EXPECT_DOUBLE_EQ(m_player->currentTime(), 30);
    EXPECT_FALSE(canvas->isDragging());
    EXPECT_EQ(pane.elapsedText(), "0:30");
    EXPECT_EQ(pane.remainingText(), "-1:30");
    EXPECT_FALSE(m_player->isPlaying()) << "seeking never starts playback";
}

TEST_F(AudioPane, DragFollowsThePointerAndClampsAtBothEnds)
{
    PlaybackWaveformView& pane = playbackFor(120, 120);
    PlaybackWaveformCanvas* canvas = pane.canvas();

    QTest::mousePress(canvas, Qt::LeftButton, {}, at(canvas, 0.5));
    EXPECT_TRUE(canvas->isDragging());
    EXPECT_DOUBLE_EQ(m_player->currentTime(), 60);

    // Past the right end: the target is the whole duration.
    QMouseEvent beyond(QEvent::MouseMove, QPointF(canvas->width() + 80, 10), canvas->mapToGlobal(QPointF(0, 0)),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &beyond);
    EXPECT_EQ(canvas->dragTargetTime(), 120.0);
    EXPECT_EQ(pane.remainingText(), "-0:00");

    // Past the left end: 0.
    QMouseEvent before(QEvent::MouseMove, QPointF(-50, 10), canvas->mapToGlobal(QPointF(0, 0)), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &before);
    EXPECT_EQ(canvas->dragTargetTime(), 0.0);
    EXPECT_DOUBLE_EQ(m_player->currentTime(), 0);

    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at(canvas, 0.75));
    EXPECT_FALSE(canvas->isDragging());
    EXPECT_FALSE(canvas->dragTargetTime());
    EXPECT_DOUBLE_EQ(m_player->currentTime(), 90);
    EXPECT_EQ(pane.elapsedText(), "1:30");
}

TEST_F(AudioPane, StoredDurationLongerThanTheFileShowsTheTargetWhileThePlayerStopsAtTheEnd)
{
    PlaybackWaveformView& pane = playbackFor(100, 50);
    PlaybackWaveformCanvas* canvas = pane.canvas();

    QTest::mousePress(canvas, Qt::LeftButton, {}, at(canvas, 0.9));
    EXPECT_NEAR(*canvas->dragTargetTime(), 90, 0.5);
    EXPECT_EQ(pane.elapsedText(), "1:30");
    EXPECT_DOUBLE_EQ(m_player->currentTime(), 50);

    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at(canvas, 0.9));
    EXPECT_EQ(pane.elapsedText(), "0:50") << "after the drag the labels follow the player again";
}

TEST_F(AudioPane, WithoutALoadedFileTheDragMovesOnlyTheDisplay)
{
    PlaybackWaveformView& pane = playbackFor(60, 60);
    QFile::remove(audioPath(*m_vm->library().selectedRecording()));
    m_player->load(QStringLiteral("/nonexistent.mp3"));
    PlaybackWaveformCanvas* canvas = pane.canvas();

    QTest::mousePress(canvas, Qt::LeftButton, {}, at(canvas, 0.5));
    EXPECT_EQ(pane.elapsedText(), "0:30");
    EXPECT_DOUBLE_EQ(m_player->currentTime(), 0);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at(canvas, 0.5));
    EXPECT_EQ(pane.elapsedText(), "0:00");
}

TEST_F(AudioPane, ZeroDurationKeepsThePlayheadAtTheStart)
{
    PlaybackWaveformView& pane = playbackFor(0, 60);
    QTest::mouseClick(pane.canvas(), Qt::LeftButton, {}, at(pane.canvas(), 0.8));
    EXPECT_DOUBLE_EQ(m_player->currentTime(), 0);
    EXPECT_EQ(pane.remainingText(), "-0:00");
}

TEST_F(AudioPane, RecordingWithoutSamplesDrawsFreshPlaceholderBars)
{
    RecordingItem item = makeRecording(QStringLiteral("Old"), 3);
    item.waveformSamples.clear();
    seedLibrary({item});
    makeDetailArea();
    PlaybackWaveformCanvas* canvas = m_area->playbackView()->canvas();
    const QList<float> first = canvas->shownSamples();
    ASSERT_EQ(first.size(), 80);
    m_player->advanceTo(3);
    EXPECT_NE(canvas->shownSamples(), first);
}

TEST_F(AudioPane, LiveTimerFollowsTheRecordingsDuration)
{
    makeDetailArea();
    startRecording(QStringLiteral("Design review"));
    LiveRecordingWaveformView* live = m_area->liveView();
    ASSERT_TRUE(live);
    EXPECT_EQ(live->timerText(), "00:00.0");
    EXPECT_EQ(live->findChild<QLabel*>(QStringLiteral("liveStateWord"))->text(), "RECORDING");
    EXPECT_EQ(live->findChild<ElidedLabel*>(QStringLiteral("liveTitle"))->text(), "Design review");

    m_recorder->duration = 62 * 60 + 5.46;
    ASSERT_TRUE(waitFor([&] { return live->timerText() == "62:05.4"; })) << live->timerText().toStdString();

    m_vm->recorder().pauseResumeRecording();
    settle();
    EXPECT_EQ(live->findChild<QLabel*>(QStringLiteral("liveStateWord"))->text(), "PAUSED");
}

TEST_F(AudioPane, LiveBarsShowTheNewestValuesThatFit)
{
    makeDetailArea();
    startRecording();
    LiveBarStrip* strip = m_area->liveView()->barStrip();
    for (int i = 0; i < 7; ++i)
        m_recorder->emitWaveformSample(0.1f * (i + 1));
    settle();
    EXPECT_EQ(strip->shownValues().size(), 7);
    EXPECT_FLOAT_EQ(strip->shownValues().back(), 0.7f);

    for (int i = 0; i < 400; ++i)
        m_recorder->emitWaveformSample(0.5f);
    settle();
    EXPECT_EQ(strip->shownValues().size(), strip->capacity());
}

TEST_F(AudioPane, FormatChipsChooseTheActiveTypeAndFollowTheSetting)
{
    makeDetailArea();
    startRecording();
    RecapFormatSection* section = m_area->liveView()->formatSection();
    EXPECT_TRUE(section->isVisible()) << "on when the setting was never stored";

    FormatChip* lecture = section->findChild<FormatChip*>(QStringLiteral("formatChip_lecture"));
    QTest::mouseClick(lecture, Qt::LeftButton);
    settle();
    EXPECT_EQ(m_vm->recorder().activeRecordingType(), RecordingType::lecture);
    EXPECT_TRUE(lecture->isSelected());
    EXPECT_EQ(section->findChild<QLabel*>(QStringLiteral("recapFormatTypeName"))->text(), "Lecture");
    EXPECT_EQ(section->findChild<QLabel*>(QStringLiteral("recapFormatDescription"))->text(),
              "Central thesis, key principles, definitions, case studies, and reference notes.");
    EXPECT_EQ(m_settings->stringValue(SettingsKeys::lastRecordingType), "lecture");

    m_settings->setValue(SettingsKeys::autoGenerateRecap, false);
    settle();
    EXPECT_FALSE(section->isVisible());
    m_settings->setValue(SettingsKeys::autoGenerateRecap, true);
    settle();
    EXPECT_TRUE(section->isVisible());
}

TEST_F(AudioPane, AStoredWaveformOfTenMillionValuesLoadsReducedAndDraws)
{
    // An edited index: ten million values, and a negative duration.
    RecordingItem item = makeRecording(QStringLiteral("Damaged"), 3);
    item.duration = -5;
    seedLibrary({item});
    constexpr int kValues = 10'000'000;
    constexpr int kBars = 120;
    QByteArray values = "[";
    values.reserve(5 * kValues + 16);
    QList<float> peaks;
    for (int bar = 0; bar < kBars; ++bar) {
        const int first = int((qint64(bar) * kValues + kBars - 1) / kBars);
        const int end = int((qint64(bar + 1) * kValues + kBars - 1) / kBars);
        const QByteArray peak = QByteArray::number(0.2 + bar / 200.0);
        peaks.append(peak.toFloat());
        for (int i = first; i < end; ++i) {
            values.append(i == first + (end - first) / 2 ? peak : QByteArrayLiteral("0.05"));
            values.append(i + 1 < kValues ? ',' : ']');
        }
    }
    QByteArray index = TestFiles::readFile(m_storage->metadataFile());
    const qsizetype at = index.indexOf("\"waveformSamples\":[") + 18;
    index.replace(at, index.indexOf(']', at) + 1 - at, values);
    TestFiles::writeFile(m_storage->metadataFile(), index);
    values = {};
    index = {};

    makeDetailArea();
    settle();
    ASSERT_EQ(m_vm->library().recordings().size(), 1);
    EXPECT_EQ(m_vm->library().recordings().first().waveformSamples, peaks);
    PlaybackWaveformView& pane = *m_area->playbackView();
    EXPECT_EQ(pane.canvas()->shownSamples(), peaks);
    EXPECT_EQ(pane.remainingText(), "--:--");

    // Drawn: the bars rise from left to right, as the loudest values do (the
    // playhead stands at the left edge).
    const QImage image = pane.canvas()->grab().toImage();
    const QColor background = image.pixelColor(0, 0);
    auto barHeight = [&](int x) {
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            painted += image.pixelColor(x, y) != background;
        return painted;
    };
    int left = 0;
    int right = 0;
    for (int x = 20; x < image.width() / 4; ++x) {
        left = std::max(left, barHeight(x));
        right = std::max(right, barHeight(image.width() - 1 - x));
    }
    EXPECT_GT(left, 10);
    EXPECT_GT(right, left);
}
