#include "shadow_unit.h"

#include <algorithm>

#include "settings.h"

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
    // In the system's own characters (wide on Windows), as the library takes its own path.
    const auto& native = full.native();
    if (native.size() < platform::kPathCapacity) {
        std::copy(native.begin(), native.end(), plugin_->configPath);
        plugin_->configPath[native.size()] = 0;
    } else {
        plugin_->configPath[0] = 0;
    }
    configPathBeside(plugin_->configPath, platform::kPathCapacity);
}

Handles ShadowUnit::elapse(const VehicleState& state, int32_t powerSwitch,
                           int32_t notchWarnInhibit) {
    panel_[kPanelPowerSwitch] = powerSwitch;
    panel_[kPanelNotchWarnInhibit] = notchWarnInhibit;
    return vantor::elapse(*plugin_, state, panel_.data(), sound_.data());
}

} // namespace vantor::sim
