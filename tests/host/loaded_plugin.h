// The built library loaded as the host loads it: by path, with every export resolved by name.
// Each LoadedPlugin keeps the host's panel and sound arrays between frames.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "exports.h"

namespace vantor::testing {

class LoadedPlugin {
  public:
    explicit LoadedPlugin(const std::string& path = VANTOR_LIBRARY) {
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
        }
        load = resolve<LoadFn>("Load");
        dispose = resolve<DisposeFn>("Dispose");
        getPluginVersion = resolve<GetPluginVersionFn>("GetPluginVersion");
        setVehicleSpec = resolve<SetVehicleSpecFn>("SetVehicleSpec");
        initialize = resolve<InitializeFn>("Initialize");
        elapse = resolve<ElapseFn>("Elapse");
        setPower = resolve<SetInt32Fn>("SetPower");
        setBrake = resolve<SetInt32Fn>("SetBrake");
        setReverser = resolve<SetInt32Fn>("SetReverser");
        keyDown = resolve<SetInt32Fn>("KeyDown");
        keyUp = resolve<SetInt32Fn>("KeyUp");
        hornBlow = resolve<SetInt32Fn>("HornBlow");
        doorOpen = resolve<VoidFn>("DoorOpen");
        doorClose = resolve<VoidFn>("DoorClose");
        setSignal = resolve<SetInt32Fn>("SetSignal");
        setBeaconData = resolve<SetBeaconDataFn>("SetBeaconData");
    }
    ~LoadedPlugin() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
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

    LoadFn load;
    DisposeFn dispose;
    GetPluginVersionFn getPluginVersion;
    SetVehicleSpecFn setVehicleSpec;
    InitializeFn initialize;
    ElapseFn elapse;
    SetInt32Fn setPower;
    SetInt32Fn setBrake;
    SetInt32Fn setReverser;
    SetInt32Fn keyDown;
    SetInt32Fn keyUp;
    SetInt32Fn hornBlow;
    VoidFn doorOpen;
    VoidFn doorClose;
    SetInt32Fn setSignal;
    SetBeaconDataFn setBeaconData;

    std::array<int32_t, 256> panel{};
    std::array<int32_t, 32> sound{};
    Handles handles{};
    int32_t time = 0;

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

} // namespace vantor::testing
