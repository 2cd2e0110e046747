#include "views/detail/TranscriptCards.h"

#include "common/Text.h"
#include "views/detail/NoticeCard.h"
#include "views/detail/PaneButtons.h"
#include "views/logic/TranscriptRules.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace TranscriptCards {

NoticeCard* transcribing(const QString& title, QPushButton*& cancel)
{
    auto* card = new NoticeCard;
    card->setObjectName(QStringLiteral("transcribingCard"));
    card->setSpinner();
    card->setHeadline(TranscriptRules::transcribingText(title), 14, QFont::Medium);
    card->setExplanation(QStringLiteral("Processing audio offline via high-performance on-device engine."), 12, 0);
    card->setInset(0);
    cancel = PaneButtons::bordered(QStringLiteral("Cancel"), QStringLiteral("xmark"));
    cancel->setObjectName(QStringLiteral("cancelTranscriptionButton"));
    card->addAction(cancel, 4);
    return card;
}

NoticeCard* modelRequired(QPushButton*& download)
{
    auto* card = new NoticeCard;
    card->setObjectName(QStringLiteral("speechModelCard"));
    card->setSymbol(QStringLiteral("arrow.down.circle"), 44, Tint{ColorRole::accent, 1.0});
    card->setHeadline(QStringLiteral("Speech Recognition Model Required"), 16);
    card->setExplanation(QStringLiteral("To generate fast, private transcripts on this computer, download the speech "
                                        "recognition model (574 MB)."),
                         13, 380);
    download = PaneButtons::cardAction(QStringLiteral("Download Model (574 MB)"), QStringLiteral("arrow.down"));
    download->setObjectName(QStringLiteral("downloadSpeechModelButton"));
    card->addAction(download);
    return card;
}

NoticeCard* downloading(const WhisperModelState& state)
{
    auto* card = new NoticeCard;
    card->setObjectName(QStringLiteral("speechDownloadCard"));
    auto* bar = new QProgressBar;
    bar->setObjectName(QStringLiteral("speechDownloadProgress"));
    bar->setRange(0, 1000);
    bar->setValue(int(std::clamp(state.progress, 0.0, 1.0) * 1000));
    bar->setTextVisible(false);
    bar->setFixedWidth(240);
    card->setTop(bar);
    card->setExplanation(TranscriptRules::downloadingText(state.message, state.progress), 13, 380);
    QFont medium = card->explanation()->font();
    medium.setWeight(QFont::Medium);
    card->explanation()->setFont(medium);
    return card;
}

NoticeCard* downloadFailed(const WhisperModelState& state, QPushButton*& retry)
{
    auto* card = new NoticeCard;
    card->setObjectName(QStringLiteral("speechDownloadFailedCard"));
    card->setSymbol(QStringLiteral("exclamationmark.triangle"), 44, Tint{ColorRole::red, 1.0});
    card->setHeadline(QStringLiteral("Speech Model Download Failed"), 16);
    card->setExplanation(Text::firstLine(state.message, 90), 13, 420);
    card->explanation()->setToolTip(state.message);
    retry = PaneButtons::cardAction(QStringLiteral("Retry Download"), QStringLiteral("arrow.clockwise"));
    retry->setObjectName(QStringLiteral("retrySpeechModelButton"));
    card->addAction(retry);
    return card;
}

NoticeCard* noTranscript(QPushButton*& transcribe)
{
    auto* card = new NoticeCard;
    card->setObjectName(QStringLiteral("noTranscriptCard"));
    card->setSymbol(QStringLiteral("doc.text.magnifyingglass"), 44, Tint{ColorRole::secondary, 0.5});
    card->setHeadline(QStringLiteral("No Transcript for this Recording"), 16);
    card->setExplanation(QStringLiteral("Generate a transcript with automatic language detection."), 13, 380);
    transcribe = PaneButtons::cardAction(QStringLiteral("Transcribe Audio"), QStringLiteral("captions.bubble"));
    transcribe->setObjectName(QStringLiteral("transcribeAudioButton"));
    card->addAction(transcribe);
    return card;
}

} // namespace TranscriptCards
