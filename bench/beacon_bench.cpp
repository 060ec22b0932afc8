// SetBeaconData, one transponder per iteration, for each type the unit reads and for the ones
// it drops. The same transponder passed again and again settles into one path per type.
#include <benchmark/benchmark.h>

#include <string>

#include "plugin_library.h"

namespace vantor::bench {

namespace {

struct Transponder {
    const char* name;
    int32_t type;
    int32_t signal;
    int32_t optional;
    float kmh;
};

constexpr Transponder kTransponders[] = {
    {"alarm_0", 0, 0, 0, 60.0f},
    {"stop_signal_1", 1, 0, 0, 60.0f},
    {"stop_50", 50, 0, 1, 60.0f},
    {"stop_55", 55, 0, 1, 60.0f},
    {"clock_start_60", 60, 0, 0, 60.0f},
    {"clock_check_61", 61, 1, 60000, 60.0f},
    {"timer_65", 65, 0, 10000, 60.0f},
    // A code-90 coil right after another: a coil pair that decodes to no speed.
    {"coil_90_pair_70", 70, 0, 90, 60.0f},
    {"unknown_type_2", 2, 0, 0, 60.0f},
    {"at_standstill_70", 70, 0, 90, 0.0f},
};

void SetBeaconData(benchmark::State& state, const Transponder& transponder) {
    PluginLibrary& plugin = builtLibrary();
    plugin.start();
    // Two frames: the first after Initialize has no step, the second leaves the speed.
    plugin.frame(transponder.kmh);
    plugin.frame(transponder.kmh);
    const BeaconData beacon{transponder.type, transponder.signal, 0.0f, transponder.optional};
    for (auto _ : state) {
        plugin.setBeaconData(beacon);
        benchmark::ClobberMemory();
    }
}

const bool registered = [] {
    for (const Transponder& transponder : kTransponders) {
        benchmark::RegisterBenchmark((std::string("SetBeaconData/") + transponder.name).c_str(),
                                     SetBeaconData, transponder);
    }
    return true;
}();

} // namespace

} // namespace vantor::bench
