#pragma once

#include "views/common/PixmapCache.h"
#include "views/logic/ViewColor.h"

#include <QWidget>

// The recording state's dot with the ring over it; the ring pulses while
// recording (unless animations are off, when it rests at its full scale), in
// the frames of the frame clock and only while it can be seen.
class StateDot : public QWidget {
    Q_OBJECT
public:
    explicit StateDot(QWidget* parent = nullptr);

    void setLook(ColorRole dot, Tint ring, double ringScale, bool pulses);
    double ringScale() const { return m_scale; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void pulseStep(qint64 stepMs);

    ColorRole m_dot = ColorRole::secondary;
    Tint m_ring;
    double m_scale = 1.0;
    bool m_pulses = false;
    // Where the pulse stands in its back-and-forth period.
    qint64 m_pulseMs = 0;
    // The dot at each step of the ring's scale.
    PixmapCache m_pictures;
};
