// The transcript over the app's own player on the test sound server: the
// highlight walks with what is heard, and a click moves playback.

#include "PaneFixture.h"
#include "Mp3Fixture.h"

#include "viewmodels/LibraryViewModel.h"
#include "views/detail/PlaybackTranscriptView.h"
#include "views/detail/TranscriptContentView.h"
#include "views/detail/TranscriptSegmentList.h"
#include "views/detail/TranscriptSegmentModel.h"

#include <QTest>

namespace {

class TranscriptWithRealPlayer : public PaneFixture {
protected:
    int activeRow(PlaybackTranscriptView& view) const
    {
        TranscriptSegmentModel* model = view.segmentList()->segmentModel();
        const auto& id = model->activeSegmentId();
        return id ? model->rowOf(*id) : -1;
    }
};

} // namespace

TEST_F(TranscriptWithRealPlayer, TheHighlightFollowsPlaybackAndAClickMovesIt)
{
    m_useRealPlayer = true;
    RecordingItem item = makeRecording(QStringLiteral("Tone"), 5);
    Mp3Fixture::writeTone(audioPath(item), 6.0);
    item.duration = 6.0;
    QList<TranscriptSegment> segments;
    for (int i = 0; i < 6; ++i)
        segments.append({QUuid::createUuid(), double(i), i + 0.9, QStringLiteral("Second %1 of the tone.").arg(i)});
    item.transcriptSegments = segments;
    item.transcript = QStringLiteral("Six seconds of tone.");
    seedLibrary({item});
    makeDetailArea();
    m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
    settle();
    PlaybackTranscriptView& view = *m_area->transcriptView()->playbackView();
    PlayerService& player = m_vm->playerManager();
    ASSERT_NEAR(player.duration(), 6.0, 0.1);
    ASSERT_EQ(activeRow(view), 0);

    QList<int> seen{0};
    QObject::connect(view.segmentList()->segmentModel(), &QAbstractItemModel::dataChanged, &view, [&] {
        if (activeRow(view) != seen.last())
            seen.append(activeRow(view));
    });
    player.play();
    ASSERT_TRUE(waitFor([&] { return activeRow(view) >= 3; }, 10000)) << "position " << player.currentTime();
    EXPECT_EQ(seen.mid(0, 4), (QList<int>{0, 1, 2, 3})) << "row by row, in order";

    // A click on the second row plays from just before it.
    TranscriptSegmentList* list = view.segmentList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualRect(list->segmentModel()->index(1)).center());
    EXPECT_EQ(activeRow(view), 1);
    EXPECT_NEAR(player.currentTime(), 0.85, 0.05);
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(waitFor([&] { return player.currentTime() > 1.2; }, 5000));
    EXPECT_LT(player.currentTime(), 3.0);
    EXPECT_EQ(activeRow(view), 1);
    player.stop();
}
