#include "audio/LiveReadings.h"

#include <algorithm>
#include <utility>

LiveReadings::LiveReadings(size_t capacity)
    : m_capacity(capacity)
{
    m_points.reserve(capacity);
}

void LiveReadings::addPoints(const std::vector<float>& points)
{
    if (points.empty())
        return;
    std::lock_guard lock(m_mutex);
    m_points.insert(m_points.end(), points.begin(), points.end());
    // Out of sight for long, only what the waveform can show is kept.
    if (m_points.size() > m_capacity)
        m_points.erase(m_points.begin(), m_points.end() - std::ptrdiff_t(m_capacity));
}

void LiveReadings::setLevels(Levels levels)
{
    std::lock_guard lock(m_mutex);
    m_levels = levels;
}

LiveReadings::Taken LiveReadings::take()
{
    Taken taken;
    taken.points.reserve(m_capacity);
    std::lock_guard lock(m_mutex);
    std::swap(taken.points, m_points);
    taken.levels = std::exchange(m_levels, std::nullopt);
    return taken;
}

void LiveReadings::clear()
{
    std::lock_guard lock(m_mutex);
    m_points.clear();
    m_levels.reset();
}
