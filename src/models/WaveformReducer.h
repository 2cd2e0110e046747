#pragma once

#include <QList>

#include <algorithm>
#include <cstddef>

// Brings a stored waveform down to the bars the views draw, one value at a
// time, so a damaged record with millions of values never needs them all in
// memory. Each bar keeps the loudest value of its stretch: a peak is never
// averaged away.
class WaveformReducer {
public:
    // Bars a recording's waveform is drawn with; longer ones are reduced to it.
    static constexpr int drawnBarCount = 120;

    // `count` values will be added; at most `bars` are kept.
    explicit WaveformReducer(size_t count, int bars = drawnBarCount);

    void add(float value)
    {
        if (m_added++ == m_nextBar)
            startBar(value);
        else
            m_peak = std::max(m_peak, value);
    }
    QList<float> take();

private:
    void startBar(float value);

    size_t m_count;
    int m_bars;
    size_t m_added = 0;
    size_t m_nextBar = 0; // index of the first value of the next bar
    bool m_started = false;
    float m_peak = 0;
    QList<float> m_values;
};
