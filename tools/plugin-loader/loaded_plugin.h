// The built library loaded as the host loads it, with the host's panel and sound arrays kept
// between frames: the host tests, the allocation test, the snapshot checks and the benchmarks
// drive it so. A program that includes this header names the library it loads by default in
// VANTOR_LIBRARY.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "plugin_module.h"

namespace vantor::loader {

class LoadedPlugin : public PluginModule {
  public:
    explicit LoadedPlugin(const std::string& path = VANTOR_LIBRARY) : PluginModule(path) {}

    // The usual start of a run: an 8-notch brake with acknowledgement from notch 2, the
    // driver's brake at release, power switch on.
    void start(int32_t brakeNotches = 8, int32_t ackBrakeNotch = 2) {
        load();
        setVehicleSpec(VehicleSpec{brakeNotches, 5, ackBrakeNotch, 1, 4});
        initialize(0);
        setBrake(0);
        setPower(0);
        setReverser(1);
        panel.fill(0);
        sound.fill(0);
        panel[kPanelPowerSwitch] = 1;
    }

    // One frame at host time timeMs and the given speed.
    Handles frame(int32_t timeMs, float kmh) {
        VehicleState state{};
        state.speed = kmh;
        state.time = timeMs;
        time = timeMs;
        handles = elapse(state, panel.data(), sound.data());
        return handles;
    }
    // The next frame, stepMs after the last one; the host's clock wraps at 32 bits.
    Handles step(int32_t stepMs, float kmh) {
        return frame(
            static_cast<int32_t>(static_cast<uint32_t>(time) + static_cast<uint32_t>(stepMs)), kmh);
    }

    void beacon(int32_t type, int32_t signal, int32_t optional) {
        setBeaconData(BeaconData{type, signal, 0.0f, optional});
    }

    std::array<int32_t, 256> panel{};
    std::array<int32_t, 32> sound{};
    Handles handles{};
    int32_t time = 0;
};

} // namespace vantor::loader
