#pragma once

#include <QWidget>

class QVariantAnimation;

// The dot of the recording in progress: red with a ring that breathes, or
// orange without a ring while paused.
class PulsingDot : public QWidget {
    Q_OBJECT
public:
    explicit PulsingDot(QWidget* parent = nullptr);

    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // 0 is the small ring, 1 the wide faint one.
    double pulse() const { return m_pulse; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool m_paused = false;
    bool m_pulseState = false;
    double m_pulse = 0;
    QVariantAnimation* m_animation = nullptr;
};
