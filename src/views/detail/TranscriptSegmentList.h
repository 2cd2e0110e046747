#pragma once

#include <QListView>
#include <QPointer>

class QPropertyAnimation;
class TranscriptSegmentDelegate;
class TranscriptSegmentModel;

// The scrolling list of timed segments. Rows are sized from cached word
// widths, so thousands of segments lay out in one pass; a row that turns bold
// (active or matching the search) is laid out again only when its height
// changes with the weight. It tells which row is under the pointer and which
// was clicked, and scrolls a row to its middle on request.
class TranscriptSegmentList : public QListView {
    Q_OBJECT
public:
    explicit TranscriptSegmentList(QWidget* parent = nullptr);

    TranscriptSegmentModel* segmentModel() const { return m_model; }

    // The row whose rounded rectangle holds `point` (viewport coordinates), or -1.
    int segmentAt(const QPoint& point) const;
    // The rounded rectangle of `row` as drawn, in viewport coordinates.
    QRectF drawnRow(int row) const;
    // Scrolls so that `row` sits in the middle of the list, at once when
    // `durationMs` is 0 or animations are off, else eased in and out.
    void centerOnRow(int row, int durationMs);
    bool isScrollAnimating() const;

Q_SIGNALS:
    // The list became visible: its tab was opened, or it replaced a card.
    void cameIntoView();
    void segmentClicked(int row);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void rowsChanged(const QModelIndex& first, const QModelIndex& last);
    void hoverAt(const QPoint& point);

    TranscriptSegmentModel* m_model;
    TranscriptSegmentDelegate* m_delegate;
    QPointer<QPropertyAnimation> m_scroll;
    int m_pressedRow = -1;
};
