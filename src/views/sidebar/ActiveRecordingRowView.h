#pragma once

#include "views/sidebar/RowRenameEditor.h"

#include <QWidget>

class ElidedLabel;
class PlainButton;
class PulsingDot;
class QMenu;

// The recording in progress, first in the library column: its pulsing dot,
// title, state and elapsed time, with rename and stop at hand.
class ActiveRecordingRowView : public QWidget {
    Q_OBJECT
public:
    explicit ActiveRecordingRowView(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setDuration(double seconds);
    void setPaused(bool paused);
    void setSelected(bool selected);
    void setEditing(bool editing, const QString& text = QString());
    void setEditingText(const QString& text);

    bool isEditing() const { return m_editing; }
    bool isPaused() const { return m_paused; }
    QString title() const;
    QString statusText() const;
    QString durationText() const;
    InlineRenameField* renameField() const { return m_editor->field(); }
    void populateContextMenu(QMenu& menu);

Q_SIGNALS:
    void selectRequested();
    void startEditingRequested();
    void commitEditingRequested();
    void cancelEditingRequested();
    void editingTextChanged(const QString& text);
    void pauseResumeRequested();
    void stopRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void refresh();

    bool m_paused = false;
    bool m_selected = false;
    bool m_editing = false;
    bool m_hovered = false;

    PulsingDot* m_dot;
    ElidedLabel* m_title;
    RowRenameEditor* m_editor;
    ElidedLabel* m_status;
    ElidedLabel* m_duration;
    QWidget* m_buttons;
    PlainButton* m_renameButton;
    PlainButton* m_stopButton;
};
