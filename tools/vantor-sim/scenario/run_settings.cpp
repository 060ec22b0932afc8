#include "scenario/run_settings.h"

#include "scenario/settings_table.h"
#include "settings/settings_check.h"

namespace vantor::sim {

RunSettings::RunSettings(const std::string& path, std::ostream& errors) : path_(path) {
    if (path_.empty()) {
        return;
    }
    file_ = SettingsFile(readSettingsBytes(path_));
    printSettingsWarnings(path_, checkSettings(*file_.bytes()), errors);
}

std::optional<std::string> RunSettings::apply(Scenario& scenario, std::ostream& errors) const {
    if (path_.empty()) {
        printTableWarnings(scenario, errors);
        return scenario.settings.file.bytes();
    }
    if (scenario.settings.anyKey()) {
        errors << path_ << ": note: used in place of the [settings] of " << scenario.source << '\n';
    }
    scenario.settings = Settings{{}, file_};
    return file_.bytes();
}

} // namespace vantor::sim
