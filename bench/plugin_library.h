// The built library loaded as the host loads it (the host tests' loader), with the run the
// benchmarks share: a morning clock and fixed frames.
#pragma once

#include <string>

#include "loaded_plugin.h"

namespace vantor::bench {

// Host time of the first frame: ten in the morning, so that the unit's hold-off (which ends at
// host time 0) is long over.
inline constexpr int32_t kMorning = 36000000;
inline constexpr int32_t kFrameMs = 16;

class PluginLibrary : public testing::LoadedPlugin {
  public:
    explicit PluginLibrary(const std::string& path = VANTOR_LIBRARY) : LoadedPlugin(path) {}

    // A run on an 8-notch train with the power switch on, brake released, reverser forward.
    void start() {
        LoadedPlugin::start();
        time = kMorning;
    }

    Handles frame(float kmh, int32_t stepMs = kFrameMs) { return step(stepMs, kmh); }
};

// The library as built, loaded once for all benchmarks; each starts its own run.
inline PluginLibrary& builtLibrary() {
    static PluginLibrary plugin;
    return plugin;
}

} // namespace vantor::bench
