#include "views/sidebar/InlineRenameField.h"

#include "views/style/Style.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

InlineRenameField::InlineRenameField(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
    setObjectName(QStringLiteral("renameField"));
    setFont(Style::font(13, TextWeight::medium));
    setFixedHeight(24);
    setFrame(true);
}

void InlineRenameField::setBoundText(const QString& text)
{
    if (text == this->text() || hasFocus())
        return;
    setText(text);
}

void InlineRenameField::showEvent(QShowEvent* event)
{
    QLineEdit::showEvent(event);
    // Timers tied to this object never fire once it is gone.
    QTimer::singleShot(RenameFieldState::focusDelayMs, this, &InlineRenameField::takeFocus);
}

void InlineRenameField::takeFocus()
{
    if (!isVisible())
        return;
    setFocus(Qt::OtherFocusReason);
    selectAll();
    QTimer::singleShot(RenameFieldState::readyDelayMs, this, [this] { m_state.markReady(); });
}

void InlineRenameField::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        report(m_state.handle(RenameFieldState::Event::returnKey));
        return;
    case Qt::Key_Escape:
        event->accept();
        report(m_state.handle(RenameFieldState::Event::escapeKey));
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void InlineRenameField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu or another application taking the keyboard does not end
    // editing: the field still holds the text when the user comes back.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    report(m_state.handle(RenameFieldState::Event::editingEnded));
}

void InlineRenameField::report(RenameFieldState::Report report)
{
    switch (report) {
    case RenameFieldState::Report::commit:
        Q_EMIT committed();
        break;
    case RenameFieldState::Report::cancel:
        Q_EMIT cancelled();
        break;
    case RenameFieldState::Report::none:
        break;
    }
}
