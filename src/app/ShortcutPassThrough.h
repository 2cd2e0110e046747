#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

// Lets the application's command shortcuts through while a text field has the
// keyboard. A line edit claims some of them for editing (Ctrl+U erases the
// line on X11), so without this the command would do nothing whenever the
// search field has the keyboard, as it has at start. Other keys stay the
// field's own.
class ShortcutPassThrough : public QObject {
    Q_OBJECT
public:
    explicit ShortcutPassThrough(QList<QKeySequence> commands, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QKeySequence> m_commands;
};
