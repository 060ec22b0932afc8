// The built library loaded as the host loads it, every export resolved by name, and the host's
// side of a run: its panel and sound arrays and its clock.
#pragma once

#include <dlfcn.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "exports.h"

namespace vantor::bench {

// Host time of the first frame: ten in the morning, so that the unit's hold-off (which ends at
// host time 0) is long over.
inline constexpr int32_t kMorning = 36000000;
inline constexpr int32_t kFrameMs = 16;

class PluginLibrary {
  public:
    explicit PluginLibrary(const std::string& path = VANTOR_LIBRARY) {
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
        }
        initialize = resolve<InitializeFn>("Initialize");
        elapse = resolve<ElapseFn>("Elapse");
        setVehicleSpec = resolve<SetVehicleSpecFn>("SetVehicleSpec");
        setPower = resolve<SetInt32Fn>("SetPower");
        setBrake = resolve<SetInt32Fn>("SetBrake");
        setReverser = resolve<SetInt32Fn>("SetReverser");
        keyDown = resolve<SetInt32Fn>("KeyDown");
        keyUp = resolve<SetInt32Fn>("KeyUp");
        hornBlow = resolve<SetInt32Fn>("HornBlow");
        setBeaconData = resolve<SetBeaconDataFn>("SetBeaconData");
    }
    ~PluginLibrary() { dlclose(handle_); }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // A run on an 8-notch train with the power switch on, brake released, reverser forward.
    void start() {
        setVehicleSpec(VehicleSpec{8, 5, 2, 1, 4});
        initialize(0);
        setBrake(0);
        setPower(0);
        setReverser(1);
        panel.fill(0);
        sound.fill(0);
        panel[kPanelPowerSwitch] = 1;
        time = kMorning;
    }

    Handles frame(float kmh, int32_t stepMs = kFrameMs) {
        time += stepMs;
        VehicleState state{};
        state.speed = kmh;
        state.time = time;
        return elapse(state, panel.data(), sound.data());
    }

    void beacon(int32_t type, int32_t signal, int32_t optional) {
        setBeaconData(BeaconData{type, signal, 0.0f, optional});
    }

    InitializeFn initialize;
    ElapseFn elapse;
    SetVehicleSpecFn setVehicleSpec;
    SetInt32Fn setPower;
    SetInt32Fn setBrake;
    SetInt32Fn setReverser;
    SetInt32Fn keyDown;
    SetInt32Fn keyUp;
    SetInt32Fn hornBlow;
    SetBeaconDataFn setBeaconData;

    std::array<int32_t, kPanelSize> panel{};
    std::array<int32_t, kSoundSize> sound{};
    int32_t time = kMorning;

  private:
    template <typename Fn> Fn resolve(const char* name) {
        void* symbol = dlsym(handle_, name);
        if (symbol == nullptr) {
            throw std::runtime_error(std::string("missing export ") + name);
        }
        return reinterpret_cast<Fn>(symbol);
    }

    void* handle_ = nullptr;
};

// The library as built, loaded once for all benchmarks; each starts its own run.
inline PluginLibrary& builtLibrary() {
    static PluginLibrary plugin;
    return plugin;
}

} // namespace vantor::bench
