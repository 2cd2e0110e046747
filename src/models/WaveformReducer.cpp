#include "models/WaveformReducer.h"

#include <algorithm>

WaveformReducer::WaveformReducer(size_t count, int bars)
    : m_count(count)
    , m_bars(std::max(bars, 1))
{
    m_values.reserve(qsizetype(std::min(count, size_t(m_bars))));
}

void WaveformReducer::add(float value)
{
    const size_t index = m_added++;
    if (m_count <= size_t(m_bars)) {
        m_values.append(value);
        return;
    }
    // Bar b holds the values from floor(b * count / bars) on.
    const auto bar = qsizetype(std::min((index * size_t(m_bars)) / m_count, size_t(m_bars - 1)));
    if (bar >= m_values.size())
        m_values.append(value);
    else
        m_values[bar] = std::max(m_values[bar], value);
}

QList<float> WaveformReducer::take()
{
    return std::move(m_values);
}
