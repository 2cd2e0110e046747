#include "models/WaveformReducer.h"

WaveformReducer::WaveformReducer(size_t count, int bars)
    : m_count(count)
    , m_bars(std::max(bars, 1))
{
    m_values.reserve(qsizetype(std::min(count, size_t(m_bars))));
}

void WaveformReducer::startBar(float value)
{
    if (m_started)
        m_values.append(m_peak);
    m_started = true;
    m_peak = value;
    // Bar b holds the values from ceil(b * count / bars) on; with no more
    // values than bars, each value is a bar. Worked out once per bar.
    const size_t bar = size_t(m_values.size()) + 1;
    m_nextBar = m_count <= size_t(m_bars) ? bar : (bar * m_count + size_t(m_bars) - 1) / size_t(m_bars);
}

QList<float> WaveformReducer::take()
{
    if (m_started)
        m_values.append(m_peak);
    m_started = false;
    return std::move(m_values);
}
