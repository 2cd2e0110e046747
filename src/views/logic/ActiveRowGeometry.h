#pragma once

#include <QPointF>
#include <QRectF>

// Where the parts of the recording in progress lie in its row of the library
// list: the dot, the title (or rename field), the status line and the two
// buttons at the edge; and which part a point falls on.
class ActiveRowGeometry {
public:
    struct Metrics {
        qreal titleLine = 16;
        qreal statusLine = 14;
    };

    enum class Part { none, row, renameButton, stopButton };

    static qreal cellHeight(const Metrics& metrics, bool isEditing);

    ActiveRowGeometry(const QRectF& cell, const Metrics& metrics, bool isEditing);

    QRectF background() const { return m_background; }
    // The square the pulsing dot is drawn in, its ring included.
    QRectF dot() const { return m_dot; }
    QRectF titleLine() const { return m_titleLine; }
    QRectF statusLine() const { return m_statusLine; }
    // Empty while the rename field is open.
    QRectF renameButton() const { return m_renameButton; }
    QRectF stopButton() const { return m_stopButton; }

    Part partAt(const QPointF& point) const;

    static constexpr qreal paddingVertical = 6;
    static constexpr qreal paddingHorizontal = 8;
    static constexpr qreal spacing = 9;
    static constexpr qreal lineSpacing = 3;
    static constexpr qreal dotSide = 22;
    static constexpr qreal editorHeight = 24;
    static constexpr qreal renameButtonSide = 17;
    static constexpr qreal stopButtonSide = 19;
    static constexpr qreal buttonSpacing = 6;
    static constexpr qreal cornerRadius = 6;

private:
    QRectF m_background;
    QRectF m_dot;
    QRectF m_titleLine;
    QRectF m_statusLine;
    QRectF m_renameButton;
    QRectF m_stopButton;
};
