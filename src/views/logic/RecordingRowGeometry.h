#pragma once

#include <QPointF>
#include <QRectF>

// Where the parts of a saved recording's row lie in the library list, and
// which part a point falls on. The list paints and hit-tests rows from this
// one description, so a painted button and its click area never drift apart.
class RecordingRowGeometry {
public:
    // Heights of one line of each text, measured by the caller in its fonts.
    struct Metrics {
        qreal titleLine = 16;
        qreal detailLine = 14;
        qreal quoteLine = 14;
    };

    struct Content {
        bool isEditing = false;
        bool hasQuote = false;
        // The pencil and export buttons take their room (they may still be
        // transparent until the pointer comes).
        bool showsButtons = true;
        // Merge mode's check box at the leading edge; only a box that can be
        // ticked takes clicks of its own (the source's mark is part of the row).
        bool hasCheckBox = false;
        bool checkBoxTakesClicks = false;
    };

    enum class Part { none, row, renameButton, exportButton, checkBox };

    // The cell's height: the row with its insets in the list.
    static qreal cellHeight(const Metrics& metrics, const Content& content);

    RecordingRowGeometry(const QRectF& cell, const Metrics& metrics, const Content& content);

    // The rounded background; every point in it takes clicks.
    QRectF background() const { return m_background; }
    // The title, or the rename field with its two buttons while editing.
    QRectF titleLine() const { return m_titleLine; }
    QRectF detailLine() const { return m_detailLine; }
    // Empty without a quotation.
    QRectF quoteLine() const { return m_quoteLine; }
    // Empty while the buttons are away.
    QRectF renameButton() const { return m_renameButton; }
    QRectF exportButton() const { return m_exportButton; }
    // Empty outside merge mode.
    QRectF checkBox() const { return m_checkBox; }

    Part partAt(const QPointF& point) const;

    static constexpr qreal insetVertical = 4;
    static constexpr qreal insetHorizontal = 8;
    static constexpr qreal paddingVertical = 6;
    static constexpr qreal paddingHorizontal = 8;
    static constexpr qreal spacing = 8;        // between the column and the buttons
    static constexpr qreal lineSpacing = 4;    // between the column's lines
    static constexpr qreal quoteTopSpace = 1;  // above the quotation's text
    static constexpr qreal editorHeight = 24;
    static constexpr qreal renameButtonSide = 17;
    static constexpr qreal exportButtonSide = 18;
    static constexpr qreal buttonSpacing = 8;
    static constexpr qreal cornerRadius = 6;
    static constexpr qreal checkBoxSide = 18;

private:
    QRectF m_background;
    QRectF m_titleLine;
    QRectF m_detailLine;
    QRectF m_quoteLine;
    QRectF m_renameButton;
    QRectF m_exportButton;
    QRectF m_checkBox;
    bool m_checkBoxTakesClicks = false;
};
