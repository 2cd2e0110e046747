#pragma once

#include <QWidget>

#include <optional>

class TrimSession;

// The trim selection over a stored recording's waveform: dark masks outside
// the range, an orange frame around it and two handles that move its ends.
// It lies over the waveform (a sibling, so the end handle may stand half its
// width past the waveform's trailing edge) and takes all of its clicks, so
// nothing seeks while it is shown.
class TrimOverlay : public QWidget {
    Q_OBJECT
public:
    enum class Handle { start, end };

    // `parent` holds `waveform`.
    TrimOverlay(TrimSession& trim, QWidget* waveform, QWidget* parent);

    // The stored duration of the recording the waveform shows.
    void setDuration(double seconds);

    std::optional<Handle> handleAt(double x) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The waveform's width W, at least 1.
    double waveformWidth() const;
    void followWaveform();
    void paintHandle(QPainter& painter, double left, Handle handle) const;

    TrimSession& m_trim;
    QWidget* m_waveform;
    double m_duration = 0;
    std::optional<Handle> m_dragged;
    double m_pressX = 0;
    bool m_moved = false;
};
