// The floor under every export: a call through a resolved pointer into the library to a
// function that does nothing.
#include <benchmark/benchmark.h>

#include "plugin_library.h"

namespace vantor::bench {

namespace {

void CallEmptyExport(benchmark::State& state) {
    PluginLibrary& plugin = builtLibrary();
    for (auto _ : state) {
        plugin.hornBlow(1);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CallEmptyExport);

} // namespace

} // namespace vantor::bench
