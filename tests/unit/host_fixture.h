// A plug-in of its own, driven through the host layer in process as the exports drive the
// library's: the settings file's defaults, fixed random periods, the power switch on.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "host/plugin.h"

namespace vantor::testing {

// One host frame's results.
struct FrameOutput {
    Handles handles;
    std::vector<int32_t> panel;
    std::vector<int32_t> sound;
    bool operator==(const FrameOutput& other) const {
        return std::memcmp(&handles, &other.handles, sizeof handles) == 0 && panel == other.panel &&
               sound == other.sound;
    }
};

class Host {
  public:
    Host() : plugin_(std::make_unique<Plugin>()), panel_(kPanelSize), sound_(kSoundSize) {
        attachPlugin(*plugin_);
        plugin_->configPath[0] = '\0';
        setVehicleSpec(*plugin_, VehicleSpec{8, 5, 2, 0, 0});
        initialize(*plugin_);
        plugin_->unit.alternationPeriod = 300;
        plugin_->unit.startupDelay = 600;
        panel_[kPanelPowerSwitch] = 1;
    }

    // A frame at host time timeMs, or stepMs after the last one.
    FrameOutput frameAt(int32_t timeMs, float kmh) {
        VehicleState state{};
        state.time = timeMs;
        state.speed = kmh;
        const Handles handles = elapse(*plugin_, state, panel_.data(), sound_.data());
        return FrameOutput{handles, panel_, sound_};
    }
    FrameOutput frame(int32_t stepMs, float kmh) {
        return frameAt(plugin_->currentTime + stepMs, kmh);
    }

    void power(bool on) { panel_[kPanelPowerSwitch] = on ? 1 : 0; }

    Plugin& plugin() { return *plugin_; }
    const CVantor& unit() const { return plugin_->unit; }

  private:
    std::unique_ptr<Plugin> plugin_;
    std::vector<int32_t> panel_;
    std::vector<int32_t> sound_;
};

} // namespace vantor::testing
