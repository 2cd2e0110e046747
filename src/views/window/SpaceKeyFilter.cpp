#include "views/window/SpaceKeyFilter.h"

#include "viewmodels/collaborators/PlayerService.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "views/badges/BadgeView.h"
#include "views/logic/SpaceKeyRules.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// A line edit of any kind, or a text view the user can type in.
bool isTextInput(const QWidget* widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget))
        return true;
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->isEditable();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    return false;
}

bool textInputHasFocus()
{
    const QWidget* window = QApplication::activeWindow();
    return window && isTextInput(window->focusWidget());
}

bool isPressable(const QWidget* widget)
{
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget)
        || qobject_cast<const BadgeView*>(widget);
}

bool cameByKeyboard(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

} // namespace

SpaceKeyFilter::SpaceKeyFilter(RecordingViewModel& vm, QObject* parent)
    : QObject(parent)
    , m_vm(vm)
{
}

SpaceKeyFilter::~SpaceKeyFilter()
{
    remove();
}

void SpaceKeyFilter::install()
{
    if (m_installed)
        return;
    qApp->installEventFilter(this);
    m_installed = true;
}

void SpaceKeyFilter::remove()
{
    if (!m_installed)
        return;
    qApp->removeEventFilter(this);
    m_installed = false;
}

bool SpaceKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
        // A button the user tabbed to takes Space as its press; one that
        // took the focus from a click leaves Space to playback.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto* widget = static_cast<QWidget*>(watched);
        // Back from another window or a menu, the focus keeps how it came.
        const bool returns = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        if (!(returns && widget == m_keyboardFocus))
            m_keyboardFocus = cameByKeyboard(reason) ? widget : nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // An open menu handles its own keys.
    if (QApplication::activePopupWidget())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    SpaceKeyRules::Input input;
    input.isSpace = key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier;
    if (!input.isSpace)
        return false;
    input.isSearchFocused = m_vm.library().isSearchFocused();
    input.isRenamingActive = m_vm.library().isRenamingActive();
    input.textInputHasFocus = textInputHasFocus();
    const QWidget* window = QApplication::activeWindow();
    const QWidget* focused = window ? window->focusWidget() : nullptr;
    input.controlHasFocus = focused && focused == m_keyboardFocus && isPressable(focused);
    input.hasSelection = m_vm.library().selectedRecording().has_value();
    input.recorderState = m_vm.recorder().recorderState();
    if (SpaceKeyRules::decide(input) == SpaceKeyRules::Action::passOn)
        return false;
    PlayerService& player = m_vm.playerManager();
    if (player.isPlaying())
        player.pause();
    else
        player.play();
    return true;
}
