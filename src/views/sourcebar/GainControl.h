#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QSlider;

// One source's gain in the source bar: a speaker symbol, a slider without
// steps from 0 to the source's maximum, and the gain as a percentage. The
// tooltip repeats the percentage.
class GainControl : public QWidget {
    Q_OBJECT
public:
    // `tooltip` words the current gain.
    GainControl(const QString& symbol, float maximum, std::function<QString(float)> tooltip,
                QWidget* parent = nullptr);

    // Shows the gain without reporting it as the user's change.
    void setGain(float gain);
    float gain() const { return m_gain; }
    void setSliderWidth(int width);
    void setPercentageShown(bool shown);
    // The width the percentage takes in the row, with its spacing.
    int percentageWidth() const;

    QSlider* slider() const { return m_slider; }
    QLabel* percentage() const { return m_percentage; }

Q_SIGNALS:
    // The user moved the slider.
    void gainChosen(float gain);

private:
    void showGain();

    float m_maximum;
    float m_gain = 0;
    std::function<QString(float)> m_tooltip;
    QSlider* m_slider;
    QLabel* m_percentage;
};
