#pragma once

#include <QWidget>

// A source's input level as a filled track: green at the start of the fill,
// red at its end. A new level glides there in 0.08 s rather than jumping, in
// the frames of the frame clock; out of sight it is taken at once and drawn
// when the meter is seen again.
class LevelMeterView : public QWidget {
    Q_OBJECT
public:
    explicit LevelMeterView(QWidget* parent = nullptr);

    void setLevel(float level);
    void setActive(bool active);
    float level() const { return m_level; }
    bool isActive() const { return m_active; }
    // The width of the fill drawn now.
    double shownFillWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void moveTo(double fraction, bool glide);
    void glideStep(qint64 stepMs);
    void setShownFraction(double fraction);

    float m_level = 0;
    bool m_active = false;
    // The fill as a share of the track, as drawn now.
    double m_shownFraction = 0;
    // The glide under way: from where, to where, how far through (ms).
    double m_glideFrom = 0;
    double m_glideTo = 0;
    qint64 m_glideMs = 0;
};
