#include "views/sourcebar/MicrophonePicker.h"

#include <algorithm>

MicrophonePicker::MicrophonePicker(QWidget* parent)
    : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void MicrophonePicker::setWidthRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    setMaximumWidth(maximum);
    updateGeometry();
}

void MicrophonePicker::setNarrowingAllowed(bool allowed)
{
    if (allowed == m_narrowingAllowed)
        return;
    m_narrowingAllowed = allowed;
    updateGeometry();
}

int MicrophonePicker::rangeMinimum() const
{
    return std::min(m_minimum, m_maximum);
}

int MicrophonePicker::narrowedMinimum() const
{
    return std::min(narrowestWidth, rangeMinimum());
}

QSize MicrophonePicker::sizeHint() const
{
    QSize hint = QComboBox::sizeHint();
    hint.setWidth(std::clamp(hint.width(), m_minimum, std::max(m_minimum, m_maximum)));
    return hint;
}

QSize MicrophonePicker::minimumSizeHint() const
{
    return {m_narrowingAllowed ? narrowedMinimum() : rangeMinimum(), QComboBox::minimumSizeHint().height()};
}
