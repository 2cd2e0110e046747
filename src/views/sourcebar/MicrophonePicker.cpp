#include "views/sourcebar/MicrophonePicker.h"

#include <algorithm>

namespace {

// The arrow and the first letters of a name.
constexpr int narrowestWidth = 56;

} // namespace

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

QSize MicrophonePicker::sizeHint() const
{
    QSize hint = QComboBox::sizeHint();
    hint.setWidth(std::clamp(hint.width(), m_minimum, std::max(m_minimum, m_maximum)));
    return hint;
}

QSize MicrophonePicker::minimumSizeHint() const
{
    return {std::min(narrowestWidth, sizeHint().width()), QComboBox::minimumSizeHint().height()};
}
