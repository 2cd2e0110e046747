// The Transcript tab of a stored recording: header, content choice, copy,
// search highlighting and the speech-model cards.

#include "PaneFixture.h"

#include "support/LoopbackHttpServer.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/StatusLine.h"
#include "views/detail/DetailPanel.h"
#include "views/detail/DetailTabPicker.h"
#include "views/detail/NoticeCard.h"
#include "views/detail/PlaybackTranscriptView.h"
#include "views/detail/TranscriptContentView.h"
#include "views/detail/TranscriptSegmentList.h"
#include "views/detail/TranscriptSegmentModel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

using TranscriptRules::Content;

namespace {

class TranscriptPane : public PaneFixture {
protected:
    PlaybackTranscriptView& transcriptOf(const RecordingItem& item)
    {
        seedLibrary({item});
        makeDetailArea();
        m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
        settle();
        return *m_area->transcriptView()->playbackView();
    }

    QString subtitle(PlaybackTranscriptView& view) const
    {
        QLabel* label = view.panel()->subtitleLabel();
        return label->isVisible() ? label->text() : QStringLiteral("<hidden>");
    }

    QList<bool> matchingRows(PlaybackTranscriptView& view) const
    {
        QList<bool> rows;
        TranscriptSegmentModel* model = view.segmentList()->segmentModel();
        for (int row = 0; row < model->rowCount(); ++row)
            rows.append(model->index(row).data(TranscriptSegmentModel::MatchingRole).toBool());
        return rows;
    }
};

} // namespace

TEST_F(TranscriptPane, WordCountSplitsAtEveryUnicodeSpace)
{
    RecordingItem item = makeRecording(QStringLiteral("Notes"), 3);
    item.duration = 187;
    item.transcript = QString::fromUtf16(u"one\u00A0two\u3000three\u2009four\nfive\tsix\u2028seven  ");
    PlaybackTranscriptView& view = transcriptOf(item);
    EXPECT_EQ(subtitle(view), QStringLiteral("7 words • 3:07"));
    EXPECT_EQ(view.content(), Content::plainText);
    EXPECT_TRUE(view.copyButton()->isVisible());
    EXPECT_EQ(view.transcribeButton()->text(), "Re-transcribe");
}

TEST_F(TranscriptPane, PlainTextKeepsItsScrollPositionWhenTheLibraryChanges)
{
    const struct {
        const char* name;
        QString word;
    } cases[] = {
        {"plain spaces", QStringLiteral("word ")},
        {"no-break spaces", QString::fromUtf16(u"word\u00A0")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingItem item = makeRecording(QStringLiteral("Long notes"), 3);
        QString text;
        for (int line = 0; line < 200; ++line)
            text += c.word.repeated(8) + QLatin1Char('\n');
        item.transcript = text;
        PlaybackTranscriptView& view = transcriptOf(item);
        ASSERT_EQ(view.content(), Content::plainText);
        auto* edit = view.findChild<QTextEdit*>(QStringLiteral("plainTranscript"));
        ASSERT_TRUE(edit);
        QScrollBar* bar = edit->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0);
        bar->setValue(bar->maximum() / 2);
        const int position = bar->value();

        // Another type changes the library, not the transcript.
        m_vm->library().updateRecordingType(*m_vm->library().selectedRecording(), RecordingType::lecture);
        settle();
        EXPECT_EQ(bar->value(), position);
        m_area.reset();
        m_vm.reset();
    }
}

TEST_F(TranscriptPane, HeaderWithoutOrWithAnEmptyTranscript)
{
    RecordingItem none = makeRecording(QStringLiteral("Fresh"), 3);
    PlaybackTranscriptView& view = transcriptOf(none);
    EXPECT_EQ(subtitle(view), "<hidden>");
    EXPECT_FALSE(view.copyButton()->isVisible());
    EXPECT_EQ(view.transcribeButton()->text(), "Transcribe");
    EXPECT_EQ(view.content(), Content::modelCard);

    m_vm->processing().transcribeRecording(*m_vm->library().selectedRecording());
    m_transcriber->calls.resolveLast(TranscriptionService::Transcription{QString(), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().transcribingRecordingIDs().isEmpty(); }));
    settle();
    EXPECT_EQ(subtitle(view), "0 words • 0:30");
    EXPECT_FALSE(view.copyButton()->isVisible());
    EXPECT_EQ(view.transcribeButton()->text(), "Re-transcribe");
}

TEST_F(TranscriptPane, CopyPutsTheStoredTranscriptNotTheSegmentsJoined)
{
    RecordingItem item = recordingWithSegments({QStringLiteral("First part."), QStringLiteral("Second part.")});
    item.transcript = QStringLiteral("The stored text, as the engine wrote it.");
    PlaybackTranscriptView& view = transcriptOf(item);
    EXPECT_EQ(view.content(), Content::segments);

    QTest::mouseClick(view.copyButton(), Qt::LeftButton);
    ASSERT_EQ(m_clipboard->texts.size(), 1);
    EXPECT_EQ(m_clipboard->texts.first(), "The stored text, as the engine wrote it.");
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcript copied to clipboard!"));
}

TEST_F(TranscriptPane, SearchHighlightsMatchingRowsIgnoringCaseAndKeepsTheRest)
{
    PlaybackTranscriptView& view = transcriptOf(recordingWithSegments(
        {QStringLiteral("We agreed on the budget."), QStringLiteral("Lunch was late."),
         QStringLiteral("Budget review next week.")}));
    ASSERT_EQ(view.segmentList()->segmentModel()->rowCount(), 3);
    EXPECT_EQ(matchingRows(view), (QList<bool>{false, false, false}));

    m_vm->library().setSearchText(QStringLiteral("  BUDGET "));
    settle();
    EXPECT_EQ(matchingRows(view), (QList<bool>{true, false, true}));
    EXPECT_EQ(view.segmentList()->segmentModel()->rowCount(), 3) << "rows are never filtered";

    m_vm->library().setSearchText(QStringLiteral("   "));
    settle();
    EXPECT_EQ(matchingRows(view), (QList<bool>{false, false, false}));
}

TEST_F(TranscriptPane, SegmentsWithoutTranscriptShowNeitherSubtitleNorCopy)
{
    RecordingItem item = recordingWithSegments({QStringLiteral("Only segments.")});
    item.transcript.reset();
    PlaybackTranscriptView& view = transcriptOf(item);
    EXPECT_EQ(view.content(), Content::segments);
    EXPECT_EQ(subtitle(view), "<hidden>");
    EXPECT_FALSE(view.copyButton()->isVisible());
}

TEST_F(TranscriptPane, TranscribingCardReplacesTheContentAndAnyRunDisablesTheButtons)
{
    const RecordingItem shown = recordingWithSegments({QStringLiteral("Words.")});
    const RecordingItem other = makeRecording(QStringLiteral("Other"), 9);
    seedLibrary({shown, other});
    makeDetailArea();
    m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
    settle();
    PlaybackTranscriptView& view = *m_area->transcriptView()->playbackView();

    m_vm->processing().transcribeRecording(m_vm->library().recordings().at(1));
    settle();
    EXPECT_EQ(view.content(), Content::segments);
    EXPECT_FALSE(view.transcribeButton()->isEnabled());

    m_transcriber->calls.resolveLast(TranscriptionService::Transcription{QStringLiteral("x"), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->processing().transcribingRecordingIDs().isEmpty(); }));
    QTest::mouseClick(view.transcribeButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(view.content(), Content::transcribing);
}

TEST_F(TranscriptPane, AFailedDownloadShowsItsReasonAndARetryThatCompletes)
{
    // The first answer is cut off a little way in; the second is whole.
    const QString modelPath = QStringLiteral("/ggerganov/whisper.cpp/resolve/main/ggml-large-v3-turbo-q5_0.bin");
    const QByteArray model = QByteArrayLiteral("lmgg") + QByteArray(300000, 'w');
    LoopbackHttpServer server;
    LoopbackHttpServer::Response cutOff;
    cutOff.body = model;
    cutOff.sendOnly = 100000;
    server.setResponse(modelPath, cutOff);
    qputenv("NIMBREL_MODEL_HOST", server.url(QString()).toString().toUtf8());
    PlaybackTranscriptView& view = transcriptOf(makeRecording(QStringLiteral("Fresh"), 3));
    ASSERT_EQ(view.content(), Content::modelCard);
    ASSERT_TRUE(view.cardButton());
    EXPECT_EQ(view.cardButton()->text(), "Download Model (574 MB)");

    QTest::mouseClick(view.cardButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return view.content() == Content::downloadCard; }));
    ASSERT_TRUE(waitFor([&] { return m_whisper->modelState().is(WhisperModelState::Case::error); }, 10000));
    settle();
    // Never an offer to transcribe without a model: the reason and a retry.
    EXPECT_EQ(view.content(), Content::failedDownloadCard);
    auto* card = view.findChild<NoticeCard*>(QStringLiteral("speechDownloadFailedCard"));
    ASSERT_TRUE(card);
    EXPECT_TRUE(card->explanation()->text().startsWith(QStringLiteral("Download failed: ")))
        << card->explanation()->text().toStdString();
    EXPECT_FALSE(card->explanation()->text().contains(QLatin1Char('\n')));
    ASSERT_TRUE(view.cardButton());
    EXPECT_EQ(view.cardButton()->text(), QStringLiteral("Retry Download"));

    server.setBody(modelPath, model);
    QTest::mouseClick(view.cardButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return m_whisper->modelState().is(WhisperModelState::Case::ready); }, 10000));
    settle();
    EXPECT_EQ(view.content(), Content::noTranscriptCard);
    ASSERT_TRUE(view.cardButton());
    EXPECT_EQ(view.cardButton()->text(), QStringLiteral("Transcribe Audio"));
    QFile::remove(QDir(m_whisper->modelsDirectory()).filePath(WhisperEngine::turboModelFileName));
    qunsetenv("NIMBREL_MODEL_HOST");
}

TEST_F(TranscriptPane, TheRunningTranscriptionShowsItsFigureAndCancels)
{
    PlaybackTranscriptView& view = transcriptOf(recordingWithSegments({QStringLiteral("Words.")}));
    const RecordingItem item = m_vm->library().recordings().first();
    m_vm->processing().transcribeRecording(item);
    settle();
    ASSERT_EQ(view.content(), Content::transcribing);
    auto* card = view.findChild<NoticeCard*>(QStringLiteral("transcribingCard"));
    ASSERT_TRUE(card);
    EXPECT_EQ(card->headline()->text(), QStringLiteral("Transcribing \"%1\"...").arg(item.title));

    m_transcriber->calls.progress(0, 42, 100);
    ASSERT_TRUE(waitFor([&] { return card->headline()->text().endsWith(QStringLiteral("... 42%")); }));

    ASSERT_TRUE(view.cardButton());
    EXPECT_EQ(view.cardButton()->text(), QStringLiteral("Cancel"));
    QTest::mouseClick(view.cardButton(), Qt::LeftButton);
    EXPECT_TRUE(m_transcriber->calls.isCancelled(0));
    settle();
    EXPECT_EQ(view.content(), Content::segments);
    EXPECT_EQ(m_vm->status().exportMessage(), QStringLiteral("Transcription cancelled"));
}

// --- Following playback ---

namespace {

class TranscriptTracking : public TranscriptPane {
protected:
    // `count` one-second segments, one a second from 0.5 s on, tall enough
    // together to scroll; selected and shown on the Transcript tab.
    PlaybackTranscriptView& longTranscript(int count = 60)
    {
        RecordingItem item = makeRecording(QStringLiteral("Long sync"), 5);
        QList<TranscriptSegment> segments;
        QStringList texts;
        for (int i = 0; i < count; ++i) {
            const QString text = QStringLiteral("Sentence number %1 of the meeting.").arg(i);
            segments.append({QUuid::createUuid(), 0.5 + i, 0.5 + i + 0.8, text});
            texts << text;
        }
        item.transcriptSegments = segments;
        item.transcript = texts.join(QLatin1Char(' '));
        m_segments = segments;
        return transcriptOf(item);
    }

    int activeRow(PlaybackTranscriptView& view) const
    {
        TranscriptSegmentModel* model = view.segmentList()->segmentModel();
        const auto& id = model->activeSegmentId();
        return id ? model->rowOf(*id) : -1;
    }

    int hoveredRow(PlaybackTranscriptView& view) const
    {
        TranscriptSegmentModel* model = view.segmentList()->segmentModel();
        const auto& id = model->hoveredSegmentId();
        return id ? model->rowOf(*id) : -1;
    }

    // How far the row's middle is from the list's middle, in pixels.
    int offCentre(PlaybackTranscriptView& view, int row) const
    {
        TranscriptSegmentList* list = view.segmentList();
        return int(std::abs(list->drawnRow(row).center().y() - list->viewport()->height() / 2.0));
    }

    int scrollValue(PlaybackTranscriptView& view) const { return view.segmentList()->verticalScrollBar()->value(); }

    QPoint middleOf(PlaybackTranscriptView& view, int row) const
    {
        return view.segmentList()->drawnRow(row).center().toPoint();
    }

    QList<TranscriptSegment> m_segments;
};

} // namespace

TEST_F(TranscriptTracking, WhilePlayingTheHighlightMovesAndItsRowIsCentred)
{
    PlaybackTranscriptView& view = longTranscript();
    ASSERT_EQ(view.content(), Content::segments);
    ASSERT_GT(view.segmentList()->verticalScrollBar()->maximum(), 0) << "the list must scroll";
    EXPECT_EQ(activeRow(view), 0) << "at 0 s, before the first segment";

    m_player->play();
    for (const int row : {30, 31, 45}) {
        SCOPED_TRACE(row);
        m_player->advanceTo(m_segments.at(row).start + 0.3);
        EXPECT_EQ(activeRow(view), row);
        EXPECT_LE(offCentre(view, row), 1);
    }
    // The gap after a segment still belongs to it.
    m_player->advanceTo(m_segments.at(45).end + 0.1);
    EXPECT_EQ(activeRow(view), 45);
}

TEST_F(TranscriptTracking, WhilePausedTheHighlightMovesButTheListStays)
{
    PlaybackTranscriptView& view = longTranscript();
    ASSERT_FALSE(m_player->isPlaying());
    const int before = scrollValue(view);
    // As the waveform or the skip buttons move it.
    m_player->seek(m_segments.at(40).start);
    EXPECT_EQ(activeRow(view), 40);
    EXPECT_EQ(scrollValue(view), before);

    // Starting playback does not scroll by itself; the next new segment does.
    m_player->play();
    m_player->advanceTo(m_segments.at(40).start + 0.5);
    EXPECT_EQ(scrollValue(view), before);
    m_player->advanceTo(m_segments.at(41).start);
    EXPECT_LE(offCentre(view, 41), 1);
}

TEST_F(TranscriptTracking, OpeningTheTabHighlightsAndThenCentresThePlayingSegment)
{
    RecordingItem item = makeRecording(QStringLiteral("Long sync"), 5);
    QList<TranscriptSegment> segments;
    for (int i = 0; i < 60; ++i)
        segments.append({QUuid::createUuid(), 0.5 + i, 1.3 + i, QStringLiteral("Sentence %1.").arg(i)});
    item.transcriptSegments = segments;
    item.transcript = QStringLiteral("Sentences.");
    seedLibrary({item});
    makeDetailArea();
    m_player->advanceTo(segments.at(50).start + 0.2); // while the Audio tab shows

    m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
    PlaybackTranscriptView& view = *m_area->transcriptView()->playbackView();
    EXPECT_EQ(activeRow(view), 50) << "highlighted as the list comes into view";
    EXPECT_EQ(scrollValue(view), 0) << "the scroll comes a moment later";
    ASSERT_TRUE(waitFor([&] { return offCentre(view, 50) <= 1; }, 1000));

    // Back to the Audio tab and again to the transcript, with the position moved on.
    m_vm->library().setActiveDetailTab(DetailViewTab::waveform);
    settle();
    m_player->advanceTo(segments.at(10).start);
    m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
    PlaybackTranscriptView& again = *m_area->transcriptView()->playbackView();
    EXPECT_EQ(activeRow(again), 10);
    ASSERT_TRUE(waitFor([&] { return offCentre(again, 10) <= 1; }, 1000));
}

TEST_F(TranscriptTracking, AClickPlaysFromJustBeforeTheSegment)
{
    RecordingItem item = makeRecording(QStringLiteral("Clicks"), 5);
    item.transcriptSegments = QList<TranscriptSegment>{
        {QUuid::createUuid(), 0.1, 2.0, QStringLiteral("Starts at once.")},
        {QUuid::createUuid(), 10.0, 12.0, QStringLiteral("Well into the file.")},
        {QUuid::createUuid(), 20.0, 22.0, QStringLiteral("Later still.")},
        {QUuid::createUuid(), 75.0, 77.0, QStringLiteral("Past the end of the 60-second file.")},
    };
    item.transcript = QStringLiteral("Four segments.");
    PlaybackTranscriptView& view = transcriptOf(item);
    const struct Case {
        const char* name;
        int row;
        double position;
    } cases[] = {
        {"a moment before the segment", 1, 9.85},
        {"the file's start for a segment less than the lead-in into it", 0, 0.0},
        {"at most the file's end", 3, 60.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_player->pause();
        QTest::mouseClick(view.segmentList()->viewport(), Qt::LeftButton, Qt::NoModifier, middleOf(view, c.row));
        EXPECT_TRUE(m_player->isPlaying()) << "a click while paused plays";
        EXPECT_DOUBLE_EQ(m_player->currentTime(), c.position);
        EXPECT_EQ(activeRow(view), c.row) << "the clicked row is highlighted at once";
    }

    // Playback moving on moves the highlight away from the clicked row again.
    m_player->advanceTo(19.9);
    EXPECT_EQ(activeRow(view), 1);
}

TEST_F(TranscriptTracking, TheRowUnderThePointerIsHoveredNotTheSpaceBetweenRows)
{
    PlaybackTranscriptView& view = longTranscript(5);
    QWidget* viewport = view.segmentList()->viewport();
    EXPECT_EQ(hoveredRow(view), -1);
    QTest::mouseMove(viewport, middleOf(view, 2));
    EXPECT_EQ(hoveredRow(view), 2);

    // Between rows 2 and 3 lies their spacing, which is no row's.
    const QRect third = view.segmentList()->visualRect(view.segmentList()->segmentModel()->index(2));
    QTest::mouseMove(viewport, QPoint(third.center().x(), third.bottom() - 2));
    EXPECT_EQ(hoveredRow(view), -1);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(third.center().x(), third.bottom() - 2));
    EXPECT_FALSE(m_player->isPlaying()) << "a click between rows seeks nowhere";

    QTest::mouseMove(viewport, middleOf(view, 4));
    EXPECT_EQ(hoveredRow(view), 4);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.segmentList(), &leave);
    EXPECT_EQ(hoveredRow(view), -1);
}

TEST_F(TranscriptTracking, AnotherRecordingStartsWithNoHighlightOrHover)
{
    const RecordingItem first = recordingWithSegments({QStringLiteral("One."), QStringLiteral("Two.")});
    RecordingItem second = makeRecording(QStringLiteral("Other"), 9);
    second.transcriptSegments = recordingWithSegments({QStringLiteral("Three."), QStringLiteral("Four.")}).transcriptSegments;
    seedLibrary({first, second});
    makeDetailArea();
    ASSERT_EQ(m_vm->library().recordings().size(), 2);
    m_vm->library().setActiveDetailTab(DetailViewTab::transcript);
    settle();
    PlaybackTranscriptView* view = m_area->transcriptView()->playbackView();
    QTest::mouseMove(view->segmentList()->viewport(), middleOf(*view, 1));
    m_player->advanceTo(5.0);
    ASSERT_EQ(hoveredRow(*view), 1);
    ASSERT_EQ(activeRow(*view), 1);

    m_vm->library().selectRecording(m_vm->library().recordings().at(1));
    settle();
    view = m_area->transcriptView()->playbackView();
    ASSERT_EQ(view->recordingId(), second.id);
    EXPECT_EQ(hoveredRow(*view), -1);
    // A selection starts at 0, which is in the first segment.
    EXPECT_EQ(activeRow(*view), 0);
}
