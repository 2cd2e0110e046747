#pragma once

#include <QScrollArea>

class QVBoxLayout;

// The scrolling column of rows: the recording in progress first, then one row
// per listed recording. Rows are moved, never rebuilt, so a row keeps its
// rename field and what the user typed there while the library changes.
class RecordingList : public QScrollArea {
    Q_OBJECT
public:
    explicit RecordingList(QWidget* parent = nullptr);

    void setActiveRow(QWidget* row);
    // Places the rows in this order below the active row; rows not given are
    // taken out (not deleted).
    void arrange(const QList<QWidget*>& rows);
    QList<QWidget*> rows() const;

Q_SIGNALS:
    // Up (-1) or Down (+1) while the list holds the keyboard focus.
    void stepRequested(int step);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* m_content;
    QVBoxLayout* m_layout;
    QWidget* m_activeRow = nullptr;
    QList<QWidget*> m_rows;
};
