// The bench's own unit: a plug-in built from this repository's sources, driven through the same
// operations as the library's exports and reading the same settings file. Its record tells what
// the loaded library cannot show through its exports.
#pragma once

#include <array>
#include <filesystem>
#include <memory>

#include "plugin.h"

namespace vantor::sim {

class ShadowUnit {
  public:
    // libraryPath: the loaded library's file; the unit reads the settings file beside it.
    explicit ShadowUnit(const std::filesystem::path& libraryPath);

    void setVehicleSpec(const VehicleSpec& vehicle) { vantor::setVehicleSpec(*plugin_, vehicle); }
    void initialize() { vantor::initialize(*plugin_); }
    // The host's two panel inputs as the library read them; the outputs go to arrays of its own.
    Handles elapse(const VehicleState& state, int32_t powerSwitch, int32_t notchWarnInhibit);
    // As the exports store them.
    void setPower(int32_t notch) { plugin_->powerNotch = notch; }
    void setReverser(int32_t position) { plugin_->reverser = position; }
    void setBrake(int32_t notch) { vantor::setBrake(*plugin_, notch); }
    void keyDown(int32_t key) { vantor::keyDown(*plugin_, key); }
    void keyUp(int32_t key) { vantor::keyUp(*plugin_, key); }
    void setBeaconData(const BeaconData& beacon) { vantor::setBeaconData(*plugin_, beacon); }

    const CVantor& unit() const { return plugin_->unit; }

    // The whole unit, to go on from there again. Its record points into itself, so a state
    // goes back only into the unit it came from.
    struct State {
        Plugin plugin;
        std::array<int32_t, kPanelSize> panel;
        std::array<int32_t, kSoundSize> sound;
    };
    void save(State& state) const {
        state.plugin = *plugin_;
        state.panel = panel_;
        state.sound = sound_;
    }
    void restore(const State& state) {
        *plugin_ = state.plugin;
        panel_ = state.panel;
        sound_ = state.sound;
    }
    const std::array<int32_t, kPanelSize>& panel() const { return panel_; }
    const std::array<int32_t, kSoundSize>& sound() const { return sound_; }

  private:
    // Value-initialised, as the library's static one is at load.
    std::unique_ptr<Plugin> plugin_;
    std::array<int32_t, kPanelSize> panel_{};
    std::array<int32_t, kSoundSize> sound_{};
};

} // namespace vantor::sim
