#pragma once

#include <QListView>

class TranscriptSegmentDelegate;
class TranscriptSegmentModel;

// The scrolling list of timed segments. Rows are sized from cached word
// widths, so thousands of segments lay out in one pass; a row that turns bold
// (active or matching the search) is laid out again only when its height
// changes with the weight.
class TranscriptSegmentList : public QListView {
    Q_OBJECT
public:
    explicit TranscriptSegmentList(QWidget* parent = nullptr);

    TranscriptSegmentModel* segmentModel() const { return m_model; }

private:
    void rowsChanged(const QModelIndex& first, const QModelIndex& last);

    TranscriptSegmentModel* m_model;
    TranscriptSegmentDelegate* m_delegate;
};
