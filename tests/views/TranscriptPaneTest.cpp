// The Transcript tab of a stored recording: header, content choice, copy,
// search highlighting and the speech-model cards.

#include "PaneFixture.h"

#include "support/LoopbackHttpServer.h"
#include "views/detail/DetailPanel.h"
#include "views/detail/DetailTabPicker.h"
#include "views/detail/PlaybackTranscriptView.h"
#include "views/detail/TranscriptContentView.h"
#include "views/detail/TranscriptSegmentList.h"
#include "views/detail/TranscriptSegmentModel.h"

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
        m_vm->setActiveDetailTab(DetailViewTab::transcript);
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
        m_vm->updateRecordingType(*m_vm->selectedRecording(), RecordingType::lecture);
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

    m_vm->transcribeRecording(*m_vm->selectedRecording());
    m_transcriber->calls.resolveLast(TranscriptionService::Transcription{QString(), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->transcribingRecordingIDs().isEmpty(); }));
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
    EXPECT_EQ(m_vm->exportMessage(), QStringLiteral("Transcript copied to clipboard!"));
}

TEST_F(TranscriptPane, SearchHighlightsMatchingRowsIgnoringCaseAndKeepsTheRest)
{
    PlaybackTranscriptView& view = transcriptOf(recordingWithSegments(
        {QStringLiteral("We agreed on the budget."), QStringLiteral("Lunch was late."),
         QStringLiteral("Budget review next week.")}));
    ASSERT_EQ(view.segmentList()->segmentModel()->rowCount(), 3);
    EXPECT_EQ(matchingRows(view), (QList<bool>{false, false, false}));

    m_vm->setSearchText(QStringLiteral("  BUDGET "));
    settle();
    EXPECT_EQ(matchingRows(view), (QList<bool>{true, false, true}));
    EXPECT_EQ(view.segmentList()->segmentModel()->rowCount(), 3) << "rows are never filtered";

    m_vm->setSearchText(QStringLiteral("   "));
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
    m_vm->setActiveDetailTab(DetailViewTab::transcript);
    settle();
    PlaybackTranscriptView& view = *m_area->transcriptView()->playbackView();

    m_vm->transcribeRecording(m_vm->recordings().at(1));
    settle();
    EXPECT_EQ(view.content(), Content::segments);
    EXPECT_FALSE(view.transcribeButton()->isEnabled());

    m_transcriber->calls.resolveLast(TranscriptionService::Transcription{QStringLiteral("x"), {}});
    ASSERT_TRUE(waitFor([&] { return m_vm->transcribingRecordingIDs().isEmpty(); }));
    QTest::mouseClick(view.transcribeButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(view.content(), Content::transcribing);
}

TEST_F(TranscriptPane, SpeechModelCardDownloadsAndAFailedDownloadOffersTranscription)
{
    LoopbackHttpServer server; // knows no model: every download fails
    qputenv("NIMBREL_MODEL_HOST", server.url(QString()).toString().toUtf8());
    PlaybackTranscriptView& view = transcriptOf(makeRecording(QStringLiteral("Fresh"), 3));
    ASSERT_EQ(view.content(), Content::modelCard);
    ASSERT_TRUE(view.cardButton());
    EXPECT_EQ(view.cardButton()->text(), "Download Model (574 MB)");

    QTest::mouseClick(view.cardButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return view.content() == Content::downloadCard; }));
    ASSERT_TRUE(waitFor([&] { return m_whisper->modelState().is(WhisperModelState::Case::error); }, 10000));
    settle();
    EXPECT_EQ(view.content(), Content::noTranscriptCard);
    ASSERT_TRUE(view.cardButton());
    EXPECT_TRUE(view.cardButton()->isEnabled());

    QTest::mouseClick(view.cardButton(), Qt::LeftButton);
    EXPECT_EQ(m_transcriber->calls.count(), 1);
    EXPECT_EQ(view.content(), Content::transcribing);
    qunsetenv("NIMBREL_MODEL_HOST");
}
