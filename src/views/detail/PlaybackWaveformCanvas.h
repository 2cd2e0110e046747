#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

// The bar waveform of a stored recording with its played part and playhead.
// A press or drag anywhere in it seeks: it follows the pointer itself while
// the drag lasts and hands every target time to `seek`.
class PlaybackWaveformCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PlaybackWaveformCanvas(QWidget* parent = nullptr);

    // Empty samples draw fresh placeholder bars at every refresh.
    void setSamples(const QList<float>& samples);
    void setDuration(double seconds);
    void setCurrentTime(double seconds);
    void setPlayedColor(const QColor& color);
    // Off in trim mode: the area then takes no seeking clicks.
    void setSeekEnabled(bool enabled);
    void setSeekHandler(std::function<void(double)> seek) { m_seek = std::move(seek); }

    bool isDragging() const { return m_isDragging; }
    std::optional<double> dragTargetTime() const { return m_dragTargetTime; }
    // The drag target while dragging, else the player's position.
    double displayTime() const;
    const QList<float>& shownSamples() const { return m_shown; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void displayTimeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void refresh();
    double targetAt(double x) const;

    QList<float> m_samples;
    QList<float> m_shown;
    double m_duration = 0;
    double m_currentTime = 0;
    QColor m_playedColor;
    bool m_seekEnabled = true;
    bool m_isDragging = false;
    std::optional<double> m_dragTargetTime;
    std::function<void(double)> m_seek;
};
