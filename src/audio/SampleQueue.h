#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A FIFO of interleaved 16-bit samples that is appended at the back and
// consumed from the front without moving the rest on every take.
class SampleQueue {
public:
    size_t size() const { return m_samples.size() - m_head; }
    bool empty() const { return size() == 0; }
    // The oldest sample; valid until the next change.
    const int16_t* data() const { return m_samples.data() + m_head; }

    void append(const int16_t* samples, size_t count);
    void appendZeros(size_t count);
    // Drops the oldest `count` samples (all of them when fewer are held).
    void dropFront(size_t count);
    void clear();

private:
    std::vector<int16_t> m_samples;
    size_t m_head = 0;
};
