#include "views/detail/RecapContentView.h"

#include "viewmodels/RecordingViewModel.h"
#include "views/detail/EmptyRecapView.h"
#include "views/detail/PlaybackRecapView.h"

#include <QStackedLayout>

RecapContentView::RecapContentView(RecordingViewModel& vm, RecapEngine& engine, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
    , m_engine(engine)
    , m_stack(new QStackedLayout(this))
    , m_empty(new EmptyRecapView)
{
    setObjectName(QStringLiteral("recapContentView"));
    m_stack->addWidget(m_empty);
    connect(&m_vm, &RecordingViewModel::selectedRecordingChanged, this, &RecapContentView::refresh);
    m_stale = true;
}

void RecapContentView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void RecapContentView::refresh()
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
        m_playback = new PlaybackRecapView(m_vm, *selected, m_engine, this);
        m_stack->addWidget(m_playback);
    }
    m_stack->setCurrentWidget(m_playback ? static_cast<QWidget*>(m_playback) : m_empty);
}
