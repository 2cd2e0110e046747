#include "views/detail/TranscriptContentView.h"

#include "views/detail/EmptyTranscriptView.h"
#include "views/detail/PlaybackTranscriptView.h"

TranscriptContentView::TranscriptContentView(RecordingViewModel& vm, WhisperEngine& whisper, QWidget* parent)
    : SelectionPaneStack(vm, new EmptyTranscriptView, parent)
    , m_vm(vm)
    , m_whisper(whisper)
{
    setObjectName(QStringLiteral("transcriptContentView"));
}

PlaybackTranscriptView* TranscriptContentView::playbackView() const
{
    return static_cast<PlaybackTranscriptView*>(pane());
}

QWidget* TranscriptContentView::buildPane(const RecordingItem& item)
{
    return new PlaybackTranscriptView(m_vm, item, m_whisper, this);
}
