#pragma once

#include <QComboBox>

// The source bar's microphone menu: as wide as the device's name within its
// width class's range. Allowed to, it gives up width below that range, down
// to the arrow and a few letters, so that a bar short of room need not draw
// it over its neighbours.
class MicrophonePicker : public QComboBox {
    Q_OBJECT
public:
    // The least width it may be narrowed to when allowed.
    static constexpr int narrowestWidth = 56;

    explicit MicrophonePicker(QWidget* parent = nullptr);

    void setWidthRange(int minimum, int maximum);
    void setNarrowingAllowed(bool allowed);
    bool isNarrowingAllowed() const { return m_narrowingAllowed; }
    // The least width within the range, and the least when narrowing is allowed.
    int rangeMinimum() const;
    int narrowedMinimum() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int m_minimum = 0;
    int m_maximum = QWIDGETSIZE_MAX;
    bool m_narrowingAllowed = false;
};
