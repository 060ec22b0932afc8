// The unit's settings file of a run, and the settings the plug-in's own reader takes from it:
// the bench's reports and expectations use those, never a text of its own.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>

#include "settings/settings.h"

namespace vantor::sim {

struct SettingInfo {
    SettingKey key;
    bool decimal; // read as a text cut to kSettingTextLength characters, else as an integer
};
// The five settings in the order the bench lists them.
inline constexpr SettingInfo kSettings[] = {
    {kSpeedKey, false},      {kDecelerationKey, true}, {kRtimeKey, true},
    {kResolutionKey, false}, {kMaxSpdKey, false},
};
inline constexpr size_t kSettingCount = std::size(kSettings);

// The value of the setting at index in kSettings.
double settingValue(const UnitSettings& settings, size_t index);

// The text the unit reads from a settings file of these bytes: its first kSettingsFileLimit
// bytes, less the line the limit cuts through when the file goes on; a UTF-16 file is narrowed
// within bytes itself.
ini::Text unitFileText(std::string& bytes);

class SettingsFile {
  public:
    SettingsFile(); // none: the unit runs on its defaults
    explicit SettingsFile(std::string bytes);

    const std::optional<std::string>& bytes() const { return bytes_; }
    const UnitSettings& unit() const { return unit_; }

  private:
    std::optional<std::string> bytes_;
    UnitSettings unit_;
};

} // namespace vantor::sim
