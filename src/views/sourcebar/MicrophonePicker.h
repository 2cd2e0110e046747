#pragma once

#include <QComboBox>

// The source bar's microphone menu. It asks for its width class's width
// range, as wide as the device's name within it, and gives up width below
// that range, eliding the name, before the bar would have to push it over
// its neighbours.
class MicrophonePicker : public QComboBox {
    Q_OBJECT
public:
    explicit MicrophonePicker(QWidget* parent = nullptr);

    void setWidthRange(int minimum, int maximum);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int m_minimum = 0;
    int m_maximum = QWIDGETSIZE_MAX;
};
