#pragma once
// Wall-clock timing for the benchmarks.
#include <windows.h>

#include <algorithm>
#include <vector>

class BenchClock {
public:
    BenchClock() { QueryPerformanceCounter(&start_); }
    double Milliseconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

// The times of repeated rounds of one job. A job and its floor measured in alternating rounds
// meet the same load on a machine that others share: their best rounds are compared, and the
// median shows the spread.
class RoundTimes {
public:
    void Add(double ms) { times_.push_back(ms); }
    double Best() const { return times_.empty() ? 0 : *std::min_element(times_.begin(), times_.end()); }
    double Median() const
    {
        if (times_.empty()) return 0;
        std::vector<double> sorted = times_;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }

private:
    std::vector<double> times_;
};
