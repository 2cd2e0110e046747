#include "audio/SampleQueue.h"

#include <algorithm>
#include <cstring>

void SampleQueue::append(const int16_t* samples, size_t count)
{
    if (count > 0)
        m_samples.insert(m_samples.end(), samples, samples + count);
}

void SampleQueue::appendZeros(size_t count)
{
    m_samples.resize(m_samples.size() + count, 0);
}

void SampleQueue::dropFront(size_t count)
{
    m_head += std::min(count, size());
    if (m_head == m_samples.size()) {
        m_samples.clear(); // keeps the capacity for the next deliveries
        m_head = 0;
    } else if (m_head >= size()) {
        // Moving the rest costs no more than what was taken since the last move.
        const size_t rest = size();
        std::memmove(m_samples.data(), m_samples.data() + m_head, rest * sizeof(int16_t));
        m_samples.resize(rest);
        m_head = 0;
    }
}

void SampleQueue::clear()
{
    m_samples.clear();
    m_head = 0;
}
