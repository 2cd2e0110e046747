#include "views/detail/RecapContentView.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/detail/EmptyRecapView.h"
#include "views/detail/PlaybackRecapView.h"

RecapContentView::RecapContentView(RecordingViewModel& vm, RecapEngine& engine, QWidget* parent)
    : SelectionPaneStack(vm.library(), new EmptyRecapView, parent)
    , m_vm(vm)
    , m_engine(engine)
{
    setObjectName(QStringLiteral("recapContentView"));
}

PlaybackRecapView* RecapContentView::playbackView() const
{
    return static_cast<PlaybackRecapView*>(pane());
}

QWidget* RecapContentView::buildPane(const RecordingItem& item)
{
    return new PlaybackRecapView(m_vm.library(), m_vm.processing(), item, m_engine, this);
}
