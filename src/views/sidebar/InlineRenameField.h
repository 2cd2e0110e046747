#pragma once

#include "views/logic/RenameFieldState.h"

#include <QLineEdit>

// The one-line field that replaces a title while it is renamed. It takes the
// focus with its whole text selected a moment after it is shown; Return saves,
// Escape cancels, losing the focus saves once the field has settled. It reports
// at most one of them, once; its owner keeps the text and decides what they mean.
class InlineRenameField : public QLineEdit {
    Q_OBJECT
public:
    explicit InlineRenameField(const QString& text, QWidget* parent = nullptr);

    // The owner's text, shown unless the user is typing in the field.
    void setBoundText(const QString& text);

    bool isReady() const { return m_state.isReady(); }
    bool isFinished() const { return m_state.isFinished(); }

Q_SIGNALS:
    void committed();
    void cancelled();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void takeFocus();
    void report(RenameFieldState::Report report);

    RenameFieldState m_state;
};
