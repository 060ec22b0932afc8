// The floor that the frames are measured against: 30 independent square roots, one for each
// brake (17) and warning (13) curve a frame could evaluate. Each radicand is read afresh and
// each root stored, one at a time, as the unit's curves do. Timed in the same run as the
// frames, it makes their figures comparable across machines.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

#include "fastest_repetition.h"

namespace vantor::bench {

namespace {

constexpr int kRoots = 30;

void ThirtySquareRoots(benchmark::State& state) {
    std::array<double, kRoots> radicands{};
    for (int i = 0; i < kRoots; ++i) {
        radicands[i] = 1000.0 + 37.0 * i;
    }
    std::array<double, kRoots> roots{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(radicands);
        for (int i = 0; i < kRoots; ++i) {
            roots[i] = std::sqrt(radicands[i]);
            benchmark::DoNotOptimize(roots[i]);
        }
    }
}
VANTOR_BENCHMARK_WITH_FASTEST(ThirtySquareRoots);

} // namespace

} // namespace vantor::bench
