#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

// What the mixer queue measured for the screen since the owner last looked:
// the live-waveform points, oldest first and only the newest `capacity`, and
// the latest pair of levels. The mixer only puts values here, so it never
// wakes the main thread; the main thread takes them when it shows them. Any
// thread.
class LiveReadings {
public:
    struct Levels {
        float mic = 0;
        float sys = 0;
        bool operator==(const Levels&) const = default;
    };

    struct Taken {
        std::vector<float> points;
        std::optional<Levels> levels; // none when no level was measured since
    };

    explicit LiveReadings(size_t capacity);

    void addPoints(const std::vector<float>& points);
    void setLevels(Levels levels);
    // Everything since the last take, leaving nothing behind.
    Taken take();
    void clear();

private:
    const size_t m_capacity;
    mutable std::mutex m_mutex;
    std::vector<float> m_points;
    std::optional<Levels> m_levels;
};
