#include "run_settings.h"

#include "plugin_library.h"
#include "settings_check.h"

namespace vantor::sim {

RunSettings::RunSettings(const std::string& path, std::ostream& errors) : path_(path) {
    if (path_.empty()) {
        return;
    }
    bytes_ = readSettingsBytes(path_);
    const SettingsReport report = checkSettings(bytes_);
    printSettingsWarnings(path_, report, errors);
    // The bench reads the displays back with the scale the unit takes from the file.
    settings_ = scenarioSettings(report.settings);
}

std::optional<std::string> RunSettings::apply(Scenario& scenario, std::ostream& errors) const {
    if (!path_.empty()) {
        if (scenario.settings.any()) {
            errors << path_ << ": note: used in place of the [settings] of " << scenario.source
                   << '\n';
        }
        scenario.settings = settings_;
        return bytes_;
    }
    if (scenario.settings.any()) {
        return settingsFileText(scenario.settings);
    }
    return std::nullopt;
}

UnitSettings unitSettings(const Scenario& scenario) {
    return checkSettings(settingsFileText(scenario.settings)).settings;
}

} // namespace vantor::sim
