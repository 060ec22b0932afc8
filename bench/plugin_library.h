// The built library loaded as the host loads it (the loader's LoadedPlugin), with the run the
// benchmarks share: a morning clock and fixed frames.
#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <string>

#include "loaded_plugin.h"

namespace vantor::bench {

// Host time of the first frame: ten in the morning, so that the unit's hold-off (which ends at
// host time 0) is long over.
inline constexpr int32_t kMorning = 36000000;
inline constexpr int32_t kFrameMs = 16;

class PluginLibrary : public loader::LoadedPlugin {
  public:
    explicit PluginLibrary(const std::string& path = VANTOR_LIBRARY) : LoadedPlugin(path) {}

    // A run on an 8-notch train with the power switch on, brake released, reverser forward.
    void start() {
        LoadedPlugin::start();
        time = kMorning;
    }

    // The next frame, stepMs after the last one. Its record's first 16 bytes (location, speed,
    // time) are written in one store: the call copies the record with 16-byte loads, which would
    // wait on the separate narrow stores of speed and time, a stall of the loop and not of the
    // plug-in.
    Handles frame(float kmh, int32_t stepMs = kFrameMs) {
        time = static_cast<int32_t>(static_cast<uint32_t>(time) + static_cast<uint32_t>(stepMs));
        using Head = int32_t __attribute__((vector_size(16)));
        const Head head{0, 0, std::bit_cast<int32_t>(kmh), time};
        std::memcpy(&state_, &head, sizeof head);
        handles = elapse(state_, panel.data(), sound.data());
        return handles;
    }

  private:
    static_assert(offsetof(VehicleState, speed) == 8 && offsetof(VehicleState, time) == 12);
    alignas(16) VehicleState state_{};
};

// The library as built, loaded once for all benchmarks; each starts its own run.
inline PluginLibrary& builtLibrary() {
    static PluginLibrary plugin;
    return plugin;
}

} // namespace vantor::bench
