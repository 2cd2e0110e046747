#include "views/detail/TranscriptContentView.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/detail/EmptyTranscriptView.h"
#include "views/detail/PlaybackTranscriptView.h"

TranscriptContentView::TranscriptContentView(RecordingViewModel& vm, WhisperEngine& whisper, QWidget* parent)
    : SelectionPaneStack(vm.library(), new EmptyTranscriptView, parent)
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
