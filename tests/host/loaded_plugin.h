// The built library loaded as the host loads it: by path, with every export resolved by name.
// Each LoadedPlugin keeps the host's panel and sound arrays between frames.
#pragma once

#include <dlfcn.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "exports.h"

namespace vantor::testing {

class LoadedPlugin {
  private:
    // First, so that it is open before the exports below are resolved from it.
    void* handle_;

  public:
    explicit LoadedPlugin(const std::string& path = VANTOR_LIBRARY) : handle_(open(path)) {}
    ~LoadedPlugin() { dlclose(handle_); }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

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

  private:
    static void* open(const std::string& path) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
        }
        return handle;
    }
    template <typename Fn> Fn resolve(const char* name) {
        void* symbol = dlsym(handle_, name);
        if (symbol == nullptr) {
            throw std::runtime_error(std::string("missing export ") + name);
        }
        return reinterpret_cast<Fn>(symbol);
    }

  public:
    LoadFn load = resolve<LoadFn>("Load");
    DisposeFn dispose = resolve<DisposeFn>("Dispose");
    GetPluginVersionFn getPluginVersion = resolve<GetPluginVersionFn>("GetPluginVersion");
    SetVehicleSpecFn setVehicleSpec = resolve<SetVehicleSpecFn>("SetVehicleSpec");
    InitializeFn initialize = resolve<InitializeFn>("Initialize");
    ElapseFn elapse = resolve<ElapseFn>("Elapse");
    SetInt32Fn setPower = resolve<SetInt32Fn>("SetPower");
    SetInt32Fn setBrake = resolve<SetInt32Fn>("SetBrake");
    SetInt32Fn setReverser = resolve<SetInt32Fn>("SetReverser");
    SetInt32Fn keyDown = resolve<SetInt32Fn>("KeyDown");
    SetInt32Fn keyUp = resolve<SetInt32Fn>("KeyUp");
    SetInt32Fn hornBlow = resolve<SetInt32Fn>("HornBlow");
    VoidFn doorOpen = resolve<VoidFn>("DoorOpen");
    VoidFn doorClose = resolve<VoidFn>("DoorClose");
    SetInt32Fn setSignal = resolve<SetInt32Fn>("SetSignal");
    SetBeaconDataFn setBeaconData = resolve<SetBeaconDataFn>("SetBeaconData");

    std::array<int32_t, 256> panel{};
    std::array<int32_t, 32> sound{};
    Handles handles{};
    int32_t time = 0;
};

} // namespace vantor::testing
