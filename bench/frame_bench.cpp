// Elapse, one call per iteration, through the export the host calls: an idle active unit, the
// heaviest frame, and an unpowered unit.
#include <benchmark/benchmark.h>

#include "fastest_repetition.h"
#include "plugin_library.h"
#include "worst_case_track.h"

namespace vantor::bench {

namespace {

constexpr float kCruisingKmh = 60.0f;

// Each loop keeps the handles where the loader stores them. Passed on by value instead, they
// would go through the stack in two 8-byte halves and be read back in one 16-byte load, which
// waits for both stores: a stall of the loop and not of the plug-in.

// Powered and active, no pattern in any slot, cruising.
void ElapseIdle(benchmark::State& state) {
    PluginLibrary& plugin = builtLibrary();
    plugin.start();
    plugin.frame(kCruisingKmh);
    plugin.frame(kCruisingKmh);
    if (plugin.panel[kPanelNormalLamp] != 1 || plugin.panel[kPanelPatternLamp] != 0) {
        state.SkipWithError("the unit is not idle");
        return;
    }
    for (auto _ : state) {
        plugin.frame(kCruisingKmh);
        benchmark::DoNotOptimize(plugin.handles);
    }
}
VANTOR_BENCHMARK_WITH_FASTEST(ElapseIdle);

// Slots 0 to 14 filled, alarm ringing, brake latched, warning lamp on and off by turns.
void ElapseWorstCase(benchmark::State& state) {
    PluginLibrary& plugin = builtLibrary();
    if (const std::string fault = fillEverySlot(plugin); !fault.empty()) {
        state.SkipWithError(fault.c_str());
        return;
    }
    float kmh = kRockingKmh;
    for (auto _ : state) {
        plugin.frame(kmh);
        benchmark::DoNotOptimize(plugin.handles);
        kmh = -kmh;
    }
}
VANTOR_BENCHMARK_WITH_FASTEST(ElapseWorstCase);

// Power switch off: the power-off reset runs in every frame.
void ElapseUnpowered(benchmark::State& state) {
    PluginLibrary& plugin = builtLibrary();
    plugin.start();
    plugin.panel[kPanelPowerSwitch] = 0;
    plugin.frame(kCruisingKmh);
    if (plugin.panel[kPanelPowered] != 0) {
        state.SkipWithError("the unit is still powered");
        return;
    }
    for (auto _ : state) {
        plugin.frame(kCruisingKmh);
        benchmark::DoNotOptimize(plugin.handles);
    }
}
VANTOR_BENCHMARK_WITH_FASTEST(ElapseUnpowered);

} // namespace

} // namespace vantor::bench
