#include "settings/settings_file.h"

#include <algorithm>

namespace vantor::sim {

double settingValue(const UnitSettings& settings, size_t index) {
    const double values[] = {settings.maxSpeed, settings.deceleration, settings.reactionTime,
                             static_cast<double>(settings.displayResolution),
                             static_cast<double>(settings.displayMaxSpeed)};
    return values[index];
}

ini::Text unitFileText(std::string& bytes) {
    const size_t read = std::min(bytes.size(), kSettingsFileLimit);
    return settingsText(bytes.data(), read, bytes.size() > read ? bytes.data() + read : nullptr);
}

SettingsFile::SettingsFile() : unit_(kDefaultSettings) {}

// The reader narrows a UTF-16 file in place: it gets a copy.
SettingsFile::SettingsFile(std::string bytes) : bytes_(bytes) {
    unit_ = readSettings(unitFileText(bytes));
}

} // namespace vantor::sim
