#include "views/badges/WhisperStatusBadge.h"

#include "engines/speech/WhisperEngine.h"
#include "views/badges/BadgeView.h"
#include "views/logic/StatusBadgeRules.h"

#include <QHBoxLayout>

WhisperStatusBadge::WhisperStatusBadge(WhisperEngine& engine, bool compact, QWidget* parent)
    : QWidget(parent)
    , m_engine(engine)
    , m_compact(compact)
    , m_badge(new BadgeView(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_badge);
    connect(&m_engine, &WhisperEngine::modelStateChanged, this, &WhisperStatusBadge::refresh);
    connect(m_badge, &BadgeView::clicked, this, [this] {
        // A failed download is tried again from here too.
        const WhisperModelState& state = m_engine.modelState();
        if (state.is(WhisperModelState::Case::notDownloaded) || state.is(WhisperModelState::Case::error))
            m_engine.downloadTurboModel();
    });
    refresh();
}

void WhisperStatusBadge::setCompact(bool compact)
{
    if (compact == m_compact)
        return;
    m_compact = compact;
    refresh();
}

void WhisperStatusBadge::refresh()
{
    const StatusBadgeRules::Look look = StatusBadgeRules::speechModelBadge(m_engine.modelState(), m_compact);
    m_badge->setLook(look);
    setVisible(look.form != StatusBadgeRules::Form::nothing);
}
