#pragma once

#include "views/logic/ViewColor.h"

#include <QVariantAnimation>
#include <QWidget>

// The recording state's dot with the ring over it; the ring pulses while
// recording (unless animations are off, when it rests at its full scale).
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
    ColorRole m_dot = ColorRole::secondary;
    Tint m_ring;
    double m_scale = 1.0;
    bool m_pulses = false;
    QVariantAnimation m_pulse;
};
