#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

// Median of `runs` wall-clock timings of `work`, in seconds: one slow run on a
// busy machine does not move the figure.
inline double medianSeconds(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
