#include "views/logic/RenameFieldState.h"

RenameFieldState::Report RenameFieldState::handle(Event event)
{
    if (m_finished)
        return Report::none;
    switch (event) {
    case Event::returnKey:
        m_finished = true;
        return Report::commit;
    case Event::escapeKey:
        m_finished = true;
        return Report::cancel;
    case Event::editingEnded:
        if (!m_ready)
            return Report::none;
        m_finished = true;
        return Report::commit;
    }
    return Report::none;
}
