#pragma once

#include <QDialog>

class QPushButton;

// "Trim Recording": asks whether the selected range becomes a new recording
// or replaces the original. The choice is reported, the dialog closes on it.
class TrimConfirmDialog : public QDialog {
    Q_OBJECT
public:
    // The message names the range as it is now.
    TrimConfirmDialog(double start, double end, QWidget* parent = nullptr);

    QString message() const;
    QPushButton* saveAsNewButton() const { return m_saveAsNew; }
    QPushButton* replaceButton() const { return m_replace; }
    QPushButton* cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void chosen(bool saveAsNew);

private:
    QString m_message;
    QPushButton* m_saveAsNew;
    QPushButton* m_replace;
    QPushButton* m_cancel;
};
