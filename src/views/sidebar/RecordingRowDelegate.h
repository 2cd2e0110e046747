#pragma once

#include "views/logic/ActiveRowGeometry.h"
#include "views/logic/RecordingRowGeometry.h"

#include <QAbstractItemDelegate>
#include <QRegion>
#include <QFont>
#include <QHash>

class RecordingListModel;

class TextWidths {
public:
    // As wide as the text needs, rounded up so it is never cut at its own width.
    qreal of(const QFont& font, const QString& text);

private:
    QHash<QString, qreal> m_kept;
};

// Paints the rows of the library list: the recording in progress with its
// pulsing dot, and each saved recording with its title, date and duration,
// badges, quotation, fills and the pencil and export buttons. Nothing but
// the rename field is a widget: it is the row's editor while it is open.
class RecordingRowDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    explicit RecordingRowDelegate(const RecordingListModel* model, QObject* parent = nullptr);

    // What the list animates or tracks; read at the next paint.
    void setHoveredRow(int row) { m_hoveredRow = row; }
    void setPulse(double pulse) { m_pulse = pulse; }
    // What the list repaints now (empty: everything); the row in progress
    // leaves out what lies outside it, so the dot's breath redraws no text.
    void setPaintedRegion(const QRegion& region) { m_paintedRegion = region; }
    void setSpinnerStep(int step) { m_spinnerStep = step; }

    // The parts of a saved recording's detail line from the left: date,
    // bullet, duration, then the badges (empty when not shown).
    struct DetailParts {
        QRectF date;
        QRectF bullet;
        QRectF duration;
        QRectF enhanced;
        QRectF transcribing;
        QRectF enhancing;
    };
    DetailParts detailParts(const QRectF& line, int row) const;
    // The date's full width, as the line measures it.
    qreal dateWidth(int row) const;

    RecordingRowGeometry recordingGeometry(const QRect& cell, int row) const;
    ActiveRowGeometry activeGeometry(const QRect& cell) const;
    // The tooltip of what lies under `point` in the row, if any.
    QString toolTipAt(const QRect& cell, int row, const QPoint& point) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    void paintRecording(QPainter& painter, const QRect& cell, int row) const;
    void paintActive(QPainter& painter, const QRect& cell) const;
    void paintDetailLine(QPainter& painter, const QRectF& line, int row) const;
    RecordingRowGeometry::Content content(int row) const;

    QRectF enhancedBadge(const QRectF& line, int row) const;

    const RecordingListModel* m_model;
    QFont m_titleMedium;
    QFont m_titleSemibold;
    QFont m_detail;
    QFont m_bullet;
    QFont m_duration;
    QFont m_badge;
    RecordingRowGeometry::Metrics m_rowMetrics;
    ActiveRowGeometry::Metrics m_activeMetrics;
    int m_hoveredRow = -1;
    double m_pulse = 0;
    QRegion m_paintedRegion;
    int m_spinnerStep = 0;
    // Widths of the texts the rows repeat (dates, durations, badges, titles),
    // measured once: shaping text is most of what painting a row costs.
    mutable TextWidths m_widths;
};
