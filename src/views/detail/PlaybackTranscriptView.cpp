#include "views/detail/PlaybackTranscriptView.h"

#include "engines/speech/WhisperEngine.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/detail/DetailPanel.h"
#include "views/detail/NoticeCard.h"
#include "views/detail/PaneButtons.h"
#include "views/detail/TranscriptCards.h"
#include "views/detail/TranscriptSegmentList.h"
#include "views/detail/TranscriptSegmentModel.h"
#include "views/logic/CurrentRecording.h"
#include "views/logic/SearchMatcher.h"
#include "views/logic/TranscriptTracking.h"
#include "views/logic/WordCount.h"
#include "views/style/Style.h"

#include <QLabel>
#include <QScrollBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

using TranscriptRules::Content;

namespace {

// The list's first scroll waits for it to be laid out on screen.
constexpr int firstScrollDelayMs = 120;
constexpr int firstScrollDurationMs = 300;
constexpr int followScrollDurationMs = 220;

TranscriptRules::SpeechModel speechModel(const WhisperModelState& state, bool hasModelFile)
{
    switch (state.state) {
    case WhisperModelState::Case::notDownloaded:
        return TranscriptRules::SpeechModel::notDownloaded;
    case WhisperModelState::Case::downloading:
        return TranscriptRules::SpeechModel::downloading;
    case WhisperModelState::Case::error:
        // A failed load of a model file that is there still leaves one to use.
        if (!hasModelFile)
            return TranscriptRules::SpeechModel::failed;
        break;
    case WhisperModelState::Case::ready:
    case WhisperModelState::Case::loading:
        break;
    }
    return TranscriptRules::SpeechModel::present;
}

} // namespace

PlaybackTranscriptView::PlaybackTranscriptView(RecordingViewModel& vm, const RecordingItem& item,
                                               WhisperEngine& whisper, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
    , m_item(item)
    , m_whisper(whisper)
    , m_panel(new DetailPanel)
    , m_copy(PaneButtons::bordered(QStringLiteral("Copy"), QStringLiteral("doc.on.doc")))
    , m_transcribe(PaneButtons::prominent(QStringLiteral("Transcribe"), QStringLiteral("captions.bubble")))
    , m_list(new TranscriptSegmentList)
    , m_plainText(new QTextEdit)
{
    setObjectName(QStringLiteral("playbackTranscriptView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);

    m_copy->setObjectName(QStringLiteral("copyTranscriptButton"));
    m_transcribe->setObjectName(QStringLiteral("transcribeButton"));
    m_panel->addHeaderWidget(m_copy);
    m_panel->addHeaderWidget(m_transcribe);

    m_list->setObjectName(QStringLiteral("segmentList"));
    m_plainText->setObjectName(QStringLiteral("plainTranscript"));
    m_plainText->setReadOnly(true);
    m_plainText->setFrameShape(QFrame::NoFrame);
    m_plainText->setFont(Style::font(14));
    m_plainText->document()->setDocumentMargin(24);
    m_plainText->viewport()->setAutoFillBackground(false);
    Style::makeThin(m_plainText->verticalScrollBar());
    m_panel->content()->addWidget(m_list);
    m_panel->content()->addWidget(m_plainText);

    // The stored transcript, as it is, not the segments joined.
    connect(m_copy, &QPushButton::clicked, this, [this] {
        m_vm.processing().copyTranscript(activeItem().transcript.value_or(QString()));
    });
    connect(m_transcribe, &QPushButton::clicked, this, [this] { m_vm.processing().transcribeRecording(activeItem()); });

    connect(&m_vm.library(), &LibraryViewModel::recordingsChanged, this, &PlaybackTranscriptView::refresh);
    connect(&m_vm.library(), &LibraryViewModel::selectedRecordingChanged, this, &PlaybackTranscriptView::refresh);
    connect(&m_vm.processing(), &ProcessingRuns::transcribingRecordingIDsChanged, this,
            &PlaybackTranscriptView::refresh);
    connect(&m_vm.library(), &LibraryViewModel::searchTextChanged, this, &PlaybackTranscriptView::refreshSearch);
    connect(&m_whisper, &WhisperEngine::modelStateChanged, this, &PlaybackTranscriptView::refresh);
    connect(&m_vm.processing(), &ProcessingRuns::transcriptionProgressChanged, this,
            &PlaybackTranscriptView::refreshProgress);
    PlayerService& player = m_vm.playerManager();
    connect(&player, &PlayerService::isPlayingChanged, m_list->segmentModel(), &TranscriptSegmentModel::setPlaying);
    m_list->segmentModel()->setPlaying(player.isPlaying());
    connect(&player, &PlayerService::currentTimeChanged, this, &PlaybackTranscriptView::positionChanged);
    connect(m_list, &TranscriptSegmentList::cameIntoView, this, &PlaybackTranscriptView::listCameIntoView);
    connect(m_list, &TranscriptSegmentList::segmentClicked, this,
            [this](int row) { seekTo(m_list->segmentModel()->segment(row)); });

    refreshSearch();
    refresh();
}

RecordingItem PlaybackTranscriptView::activeItem() const
{
    return CurrentRecording::resolve(m_vm.library().recordings(), m_vm.library().selectedRecording(), m_item);
}

void PlaybackTranscriptView::refresh()
{
    const RecordingItem item = activeItem();
    refreshHeader(item);
    refreshContent(item);
}

void PlaybackTranscriptView::refreshHeader(const RecordingItem& item)
{
    const TranscriptRules::Header header
        = TranscriptRules::header(item, transcriptWords(item), !m_vm.processing().transcribingRecordingIDs().isEmpty());
    m_panel->setTitle(item.title);
    m_panel->setSubtitle(header.subtitle);
    m_copy->setVisible(header.showsCopy);
    m_transcribe->setText(header.transcribeLabel);
    m_transcribe->setEnabled(header.transcribeEnabled);
}

qsizetype PlaybackTranscriptView::transcriptWords(const RecordingItem& item)
{
    // A long transcript is counted once, not at every change of the view model.
    const QString text = item.transcript.value_or(QString());
    if (!m_countedText || m_countedText->constData() != text.constData() || m_countedText->size() != text.size()) {
        m_countedText = text;
        m_wordCount = WordCount::count(text);
    }
    return m_wordCount;
}

void PlaybackTranscriptView::refreshContent(const RecordingItem& item)
{
    const bool transcribing = m_vm.processing().transcribingRecordingIDs().contains(item.id);
    const WhisperModelState model = m_whisper.modelState();
    m_content = TranscriptRules::content(item, transcribing, currentSpeechModel());
    const bool anyTranscribing = !m_vm.processing().transcribingRecordingIDs().isEmpty();

    switch (m_content) {
    case Content::segments: {
        // Segments are laid out again only when they changed.
        const QList<TranscriptSegment>& segments = *item.transcriptSegments;
        if (m_list->segmentModel()->segments() != segments)
            m_list->segmentModel()->setSegments(segments);
        showContent(m_list);
        break;
    }
    case Content::plainText:
        // Compared with what was set, not read back from the document: that
        // costs a pass over it, and it turns no-break spaces into spaces, so
        // such a text would be set again (and scrolled to the top) each time.
        if (m_plainShown != *item.transcript) {
            m_plainShown = *item.transcript;
            m_plainText->setPlainText(m_plainShown);
            QTextCursor all(m_plainText->document());
            all.select(QTextCursor::Document);
            QTextBlockFormat spaced;
            spaced.setLineHeight(5, QTextBlockFormat::LineDistanceHeight);
            all.mergeBlockFormat(spaced);
        }
        showContent(m_plainText);
        break;
    case Content::transcribing:
        if (m_shown != m_content) {
            QPushButton* cancel = nullptr;
            auto* card = TranscriptCards::transcribing(item.title, cancel);
            showContent(card);
            m_cardButton = cancel;
            m_transcribingCard = card;
            connect(cancel, &QPushButton::clicked, this,
                    [this] { m_vm.processing().cancelTranscription(activeItem()); });
        }
        break;
    case Content::modelCard:
        if (m_shown != m_content) {
            QPushButton* download = nullptr;
            showContent(TranscriptCards::modelRequired(download));
            m_cardButton = download;
            connect(download, &QPushButton::clicked, this, [this] { m_whisper.downloadTurboModel(); });
        }
        break;
    case Content::downloadCard:
        // Progress and message change within the state; rebuilt each time.
        showContent(TranscriptCards::downloading(model));
        break;
    case Content::failedDownloadCard:
        if (m_shown != m_content) {
            QPushButton* retry = nullptr;
            showContent(TranscriptCards::downloadFailed(model, retry));
            m_cardButton = retry;
            connect(retry, &QPushButton::clicked, this, [this] { m_whisper.downloadTurboModel(); });
        }
        break;
    case Content::noTranscriptCard:
        if (m_shown != m_content) {
            QPushButton* transcribe = nullptr;
            showContent(TranscriptCards::noTranscript(transcribe));
            m_cardButton = transcribe;
            connect(transcribe, &QPushButton::clicked, this,
                    [this] { m_vm.processing().transcribeRecording(activeItem()); });
        }
        break;
    }
    if (m_content == Content::noTranscriptCard && m_cardButton)
        m_cardButton->setEnabled(!anyTranscribing);
    m_shown = m_content;
    refreshProgress();
}

TranscriptRules::SpeechModel PlaybackTranscriptView::currentSpeechModel() const
{
    const WhisperModelState model = m_whisper.modelState();
    // The files are looked at only after a failure (two file checks).
    const bool hasFile = model.is(WhisperModelState::Case::error) && m_whisper.preferredModelURL().has_value();
    return speechModel(model, hasFile);
}

void PlaybackTranscriptView::refreshProgress()
{
    if (m_content != Content::transcribing || !m_transcribingCard)
        return;
    const RecordingItem item = activeItem();
    const auto percent = m_vm.processing().transcriptionProgress().constFind(item.id);
    m_transcribingCard->headline()->setText(TranscriptRules::transcribingText(
        item.title,
        percent != m_vm.processing().transcriptionProgress().constEnd() ? std::optional<int>(*percent) : std::nullopt));
}

void PlaybackTranscriptView::showContent(QWidget* widget)
{
    QStackedWidget* stack = m_panel->content();
    if (widget != m_card && m_card) {
        stack->removeWidget(m_card);
        m_card->deleteLater();
        m_card = nullptr;
        m_cardButton = nullptr;
    }
    if (widget != m_list && widget != m_plainText) {
        m_card = widget;
        stack->addWidget(widget);
    }
    stack->setCurrentWidget(widget);
}

void PlaybackTranscriptView::refreshSearch()
{
    m_list->segmentModel()->setSearch(SearchMatcher(m_vm.library().searchText()));
}

void PlaybackTranscriptView::listCameIntoView()
{
    TranscriptSegmentModel* model = m_list->segmentModel();
    const auto active
        = TranscriptTracking::computeActiveSegmentID(m_vm.playerManager().currentTime(), model->segments());
    model->setActiveSegmentId(active);
    if (!active)
        return;
    QTimer::singleShot(firstScrollDelayMs, this, [this, id = *active] {
        m_list->centerOnRow(m_list->segmentModel()->rowOf(id), firstScrollDurationMs);
    });
}

void PlaybackTranscriptView::positionChanged(double seconds)
{
    // Only the list shown follows the player; it catches up when it comes into view.
    if (m_content != Content::segments)
        return;
    TranscriptSegmentModel* model = m_list->segmentModel();
    const auto active = TranscriptTracking::computeActiveSegmentID(seconds, model->segments());
    if (active == model->activeSegmentId())
        return;
    model->setActiveSegmentId(active);
    // While paused the highlight moves but the list stays where the user left it.
    if (active && m_vm.playerManager().isPlaying() && m_list->isVisible())
        m_list->centerOnRow(model->rowOf(*active), followScrollDurationMs);
}

void PlaybackTranscriptView::seekTo(const TranscriptSegment& segment)
{
    PlayerService& player = m_vm.playerManager();
    // Without a file the player ignores both calls.
    player.seek(TranscriptTracking::seekPosition(segment.start, player.duration()));
    player.play();
    m_list->segmentModel()->setActiveSegmentId(segment.id);
}
