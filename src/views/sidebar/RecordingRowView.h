#pragma once

#include "models/RecordingItem.h"
#include "views/logic/RecordingRowRules.h"
#include "views/sidebar/RowRenameEditor.h"

#include <QWidget>

class ElidedLabel;
class PlainButton;
class QLabel;
class QMenu;

// One saved recording in the library column. It shows what the sidebar tells
// it and reports the user's requests; it changes nothing by itself.
class RecordingRowView : public QWidget {
    Q_OBJECT
public:
    explicit RecordingRowView(const RecordingItem& item, QWidget* parent = nullptr);

    const RecordingItem& item() const { return m_item; }
    void setItem(const RecordingItem& item);

    struct Flags {
        bool isSelected = false;
        bool isTranscribing = false;
        bool isEnhancing = false;
        bool isPlayingEnhanced = false;

        friend bool operator==(const Flags&, const Flags&) = default;
    };
    void setFlags(const Flags& flags);
    void setSearchText(const QString& searchText);

    // Shows the rename field with `text`, or the title again.
    void setEditing(bool editing, const QString& text = QString());
    bool isEditing() const { return m_state.isEditing; }
    void setEditingText(const QString& text);
    InlineRenameField* renameField() const { return m_editor->field(); }

    RecordingRowRules::State state() const { return m_state; }
    void populateContextMenu(QMenu& menu);
    QString snippetText() const;

Q_SIGNALS:
    void selectRequested();
    void startEditingRequested();
    void commitEditingRequested();
    void cancelEditingRequested();
    void editingTextChanged(const QString& text);
    void exportRequested();
    void deleteRequested();
    void enhanceRequested();
    void toggleEnhancedRequested();
    void showInFileManagerRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void refresh();
    void refreshSnippet();
    void runMenuAction(RecordingRowRules::Action action);

    RecordingItem m_item;
    RecordingRowRules::State m_state;
    QString m_searchText;

    ElidedLabel* m_title;
    RowRenameEditor* m_editor;
    ElidedLabel* m_date;
    ElidedLabel* m_duration;
    QLabel* m_enhancedBadge;
    QWidget* m_transcribingBadge;
    QWidget* m_enhancingBadge;
    QWidget* m_quoteLine;
    ElidedLabel* m_quote;
    QWidget* m_buttons;
    PlainButton* m_renameButton;
    PlainButton* m_exportButton;
};
