// The fastest of a benchmark's repetitions, reported beside their median for the frames and
// their floor. On a virtual machine whose host's other guests come and go, the median of a
// batch moves with them by several nanoseconds; the fastest repetition, itself the mean of
// millions of calls, hardly moves and is the nearest to what a quiet machine gives.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace vantor::bench {

inline double fastestRepetition(const std::vector<double>& times) {
    return times.empty() ? 0.0 : *std::min_element(times.begin(), times.end());
}

} // namespace vantor::bench

// Registers a benchmark that reports the fastest repetition as `<name>_fastest`.
#define VANTOR_BENCHMARK_WITH_FASTEST(function)                                                  \
    BENCHMARK(function)->ComputeStatistics("fastest", ::vantor::bench::fastestRepetition)
