#include "views/detail/TranscriptContentView.h"

#include "viewmodels/RecordingViewModel.h"
#include "views/detail/EmptyTranscriptView.h"
#include "views/detail/PlaybackTranscriptView.h"

#include <QStackedLayout>

TranscriptContentView::TranscriptContentView(RecordingViewModel& vm, WhisperEngine& whisper, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
    , m_whisper(whisper)
    , m_stack(new QStackedLayout(this))
    , m_empty(new EmptyTranscriptView)
{
    setObjectName(QStringLiteral("transcriptContentView"));
    m_stack->addWidget(m_empty);
    connect(&m_vm, &RecordingViewModel::selectedRecordingChanged, this, &TranscriptContentView::refresh);
    m_stale = true;
}

void TranscriptContentView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void TranscriptContentView::refresh()
{
    // A tab that is not on screen catches up when it is shown.
    m_stale = !isVisible();
    if (m_stale)
        return;
    const std::optional<RecordingItem>& selected = m_vm.selectedRecording();
    if (m_playback && (!selected || selected->id != m_playback->recordingId())) {
        m_stack->removeWidget(m_playback);
        m_playback->deleteLater();
        m_playback = nullptr;
    }
    if (selected && !m_playback) {
        m_playback = new PlaybackTranscriptView(m_vm, *selected, m_whisper, this);
        m_stack->addWidget(m_playback);
    }
    m_stack->setCurrentWidget(m_playback ? static_cast<QWidget*>(m_playback) : m_empty);
}
