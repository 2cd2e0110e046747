#pragma once

#include <QListView>
#include <QPersistentModelIndex>

#include <optional>

class QVariantAnimation;
class RecordingListModel;
class RecordingRowDelegate;
class RowRenameEditor;

// The scrolling list of the library column: the recording in progress first,
// then one painted row per listed recording. It reports what the user does on
// a row by row number and part; the sidebar decides what that means. Only an
// open rename field is a widget, kept as the row's editor.
class RecordingList : public QListView {
    Q_OBJECT
public:
    explicit RecordingList(QWidget* parent = nullptr);

    RecordingListModel* listModel() const { return m_model; }
    RecordingRowDelegate* rowDelegate() const { return m_delegate; }

    // The rename field of a row, opened fresh or already open.
    RowRenameEditor* openRenameEditor(int row);
    void closeRenameEditor(int row);
    RowRenameEditor* renameEditor(int row) const;

    // Where a row's parts lie in the viewport, for tests and for the sidebar
    // to scroll to; empty when the row or the part is not there.
    enum class Part { row, renameButton, exportButton, stopButton, mergeCheckBox };
    QRect partRect(int row, Part part) const;
    int hoveredRow() const { return m_hovered.isValid() ? m_hovered.row() : -1; }
    // 0 to 1 through the ring's breath; stands still while the list cannot be seen.
    double pulse() const { return m_pulse; }

Q_SIGNALS:
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    void partClicked(int row, RecordingList::Part part);
    void contextMenuRequested(int row, const QPoint& globalPosition);
    // Up (-1) or Down (+1) while the list holds the keyboard focus.
    void stepRequested(int step);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    struct Hit {
        int row = -1;
        std::optional<Part> part; // none: nothing of a row is there
    };
    Hit hitAt(const QPoint& point) const;
    void setHovered(const QModelIndex& index);
    void followPointer();
    void pressPart(const Hit& hit);
    void updateAnimations();
    void pulseStep(qint64 stepMs);
    void repaintBusyRows();

    RecordingListModel* m_model;
    RecordingRowDelegate* m_delegate;
    QPersistentModelIndex m_hovered;
    // A button takes effect when released over the part it was pressed on.
    QPersistentModelIndex m_pressedRow;
    std::optional<Part> m_pressedPart;
    QVariantAnimation* m_spinnerAnimation = nullptr;
    double m_pulse = 0;
    // Where the breath stands in its period.
    qint64 m_pulseMs = 0;
    // What each breath redraws, until the rows are laid out or scrolled.
    std::optional<QRect> m_dotRect;
    int m_spinnerStep = 0;
    bool m_pulseStarted = false;
};
