#include "host/shadow_unit.h"

#include <iterator>

#include "settings/settings.h"

namespace vantor::sim {

ShadowUnit::ShadowUnit(const std::filesystem::path& libraryPath)
    : plugin_(std::make_unique<Plugin>()) {
    attachPlugin(*plugin_);
    // The settings path as the library builds it from its own file's full path.
    std::error_code ignored;
    std::filesystem::path full = std::filesystem::weakly_canonical(libraryPath, ignored);
    if (full.empty()) {
        full = libraryPath;
    }
    const auto& native = full.native();
    const size_t capacity = std::size(plugin_->configPath);
    if (native.size() < capacity) {
        native.copy(plugin_->configPath, native.size());
        plugin_->configPath[native.size()] = 0;
        configPathBeside(plugin_->configPath, capacity);
    } else {
        plugin_->configPath[0] = 0;
    }
}

Handles ShadowUnit::elapse(const VehicleState& state, int32_t powerSwitch,
                           int32_t notchWarnInhibit) {
    panel_[kPanelPowerSwitch] = powerSwitch;
    panel_[kPanelNotchWarnInhibit] = notchWarnInhibit;
    return vantor::elapse(*plugin_, state, panel_.data(), sound_.data());
}

} // namespace vantor::sim
