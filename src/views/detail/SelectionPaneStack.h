#pragma once

#include <QUuid>
#include <QWidget>

class QStackedLayout;
class LibraryViewModel;
struct RecordingItem;

// A tab that shows a pane built for the selected recording, or a placeholder
// when nothing is selected. Another selection builds a fresh pane; a tab that
// is not on screen catches up when it is shown.
class SelectionPaneStack : public QWidget {
    Q_OBJECT
public:
    SelectionPaneStack(LibraryViewModel& library, QWidget* placeholder, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    virtual QWidget* buildPane(const RecordingItem& item) = 0;
    // Null while the placeholder shows.
    QWidget* pane() const { return m_pane; }

private:
    void refresh();

    LibraryViewModel& m_library;
    QStackedLayout* m_stack;
    QWidget* m_placeholder;
    QWidget* m_pane = nullptr;
    QUuid m_paneId;
    bool m_stale = true;
};
