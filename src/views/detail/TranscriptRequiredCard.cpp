#include "views/detail/TranscriptRequiredCard.h"

#include "viewmodels/ProcessingRuns.h"
#include "views/detail/PaneButtons.h"

#include <QPushButton>

TranscriptRequiredCard::TranscriptRequiredCard(ProcessingRuns& processing, const RecordingItem& item, QWidget* parent)
    : NoticeCard(parent)
    , m_processing(processing)
    , m_item(item)
    , m_transcribe(PaneButtons::cardAction(QStringLiteral("Transcribe Audio"), QStringLiteral("captions.bubble")))
{
    setObjectName(QStringLiteral("transcriptRequiredCard"));
    setSymbol(QStringLiteral("doc.text.magnifyingglass"), 44, Tint{ColorRole::secondary, 0.5});
    setHeadline(QStringLiteral("Transcript Required"), 16);
    setExplanation(QStringLiteral("An audio transcript is required to synthesize the Executive Recap."), 13, 380);
    m_transcribe->setObjectName(QStringLiteral("recapTranscribeButton"));
    addAction(m_transcribe);
    connect(m_transcribe, &QPushButton::clicked, this, [this] { m_processing.transcribeRecording(m_item); });
    // Any transcription, of this recording or another, holds the button.
    connect(&m_processing, &ProcessingRuns::transcribingRecordingIDsChanged, this, &TranscriptRequiredCard::refresh);
    refresh();
}

void TranscriptRequiredCard::refresh()
{
    m_transcribe->setEnabled(m_processing.transcribingRecordingIDs().isEmpty());
}
