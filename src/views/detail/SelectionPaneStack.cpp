#include "views/detail/SelectionPaneStack.h"

#include "viewmodels/LibraryViewModel.h"

#include <QStackedLayout>

SelectionPaneStack::SelectionPaneStack(LibraryViewModel& library, QWidget* placeholder, QWidget* parent)
    : QWidget(parent)
    , m_library(library)
    , m_stack(new QStackedLayout(this))
    , m_placeholder(placeholder)
{
    m_stack->addWidget(m_placeholder);
    connect(&m_library, &LibraryViewModel::selectedRecordingChanged, this, &SelectionPaneStack::refresh);
}

void SelectionPaneStack::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void SelectionPaneStack::refresh()
{
    m_stale = !isVisible();
    if (m_stale)
        return;
    const std::optional<RecordingItem>& selected = m_library.selectedRecording();
    if (m_pane && (!selected || selected->id != m_paneId)) {
        m_stack->removeWidget(m_pane);
        m_pane->deleteLater();
        m_pane = nullptr;
    }
    if (selected && !m_pane) {
        m_pane = buildPane(*selected);
        m_paneId = selected->id;
        m_stack->addWidget(m_pane);
    }
    m_stack->setCurrentWidget(m_pane ? m_pane : m_placeholder);
}
